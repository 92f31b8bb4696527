#pragma once
// Texts that a spreadsheet opening a CSV file would take for something else: a bib such as
// 0012 for the number 12, a class such as "=1+2" or "-10K" for a formula. Such a text is
// written as a formula whose value is the text itself, ="0012": Excel and LibreOffice Calc
// both show it as the text, keeping its leading zeros, and a file opened with formulas left
// as they are shows the text within ="…" rather than anything computed.

#include <QString>

// The text as a formula giving it: ="0012", with each double quote in it doubled.
QString KeptAsText(const QString& text);

// The text as it is, unless a spreadsheet would start a formula with it (it begins with =,
// +, -, @, a tab or a CR): then KeptAsText.
QString FormulaSafe(const QString& text);

#pragma once
// One section of a unixODBC data-source file, read from and written into the file's text.
// Several writers share the file, each owning its own sections, so a rewrite changes only
// the section's header and key lines: every other line, comments among them, keeps its bytes.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

using IniEntries = QList<QPair<QString, QString>>;

// The key=value lines of section `name` (found without regard to case), blanks around keys
// and values dropped as unixODBC drops them; empty when the section is missing.
IniEntries SectionEntries(const QByteArray& text, const QString& name);

// The text with section `name` holding `entries` only: written where the section stood
// (its first place, when it stood twice), or at the end.
QByteArray WithSection(const QByteArray& text, const QString& name, const IniEntries& entries);

#pragma once
// "同着" beside a passing or a leg finish that another runner shares to the time: shown on
// both entries of a dead heat in the window's lists.

#include <QString>

// A column `deadheat` for a select from midjyun: "同着" when another bib passed at its time.
QString PassingDeadHeatColumn();
// The mark as an expression over relaymember rows named `alias`: another team finished the
// same leg at the same time.
QString LegDeadHeatMark(const QString& alias);

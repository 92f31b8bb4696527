#pragma once
// Lines of statement text that hold a value. The value goes in as a literal no character of
// it can break out of (see SqlValue.h).

#include <QString>
#include <QStringList>

// head + the value's literal + tail: ValueLine("and zek = ", "0012") is
// "and zek = _sjis X'30303132'".
QString ValueLine(const QString& head, const QString& value, const QString& tail = {});

// head + the race in work: RaceLine("where tcode = ").
QString RaceLine(const QString& head);

// The values' literals joined by commas, for a values list: "_sjis X'..',_sjis X'..'".
QString SqlValueList(const QStringList& values);

#include "data/sql/StatementLines.h"

#include "common/uComm.h"
#include "data/sql/SqlValue.h"

#include <optional>

QString ValueLine(const QString& head, const QString& value, const QString& tail) {
    return head + SqlValue(value) + tail;
}

namespace {

// A writer thread's race; none on the GUI thread, whose race is the one in work.
thread_local std::optional<QString> threadRace;

} // namespace

QString StatementRace() {
    return threadRace ? *threadRace : uComm::RaceCode;
}

StatementRaceScope::StatementRaceScope(const QString& race)
    : previous_(threadRace.value_or(QString())), hadPrevious_(threadRace.has_value()) {
    threadRace = race;
}

StatementRaceScope::~StatementRaceScope() {
    if (hadPrevious_)
        threadRace = previous_;
    else
        threadRace.reset();
}

QString RaceLine(const QString& head) {
    return ValueLine(head, StatementRace());
}

QString ByteColumns(const QStringList& columns) {
    QStringList read;
    for (const QString& column : columns)
        read << QStringLiteral("cast(%1 as binary) as %2")
                    .arg(column, column.section(QLatin1Char('.'), -1));
    return read.join(QLatin1Char(','));
}

QString SqlValueList(const QStringList& values) {
    QStringList literals;
    for (const QString& value : values)
        literals << SqlValue(value);
    return literals.join(QLatin1Char(','));
}

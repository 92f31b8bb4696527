#include "device/DeviceRecord.h"

#include "data/sql/SqlValue.h"
#include "data/sql/StatementLines.h"

#include <QRegularExpression>

namespace {

constexpr int RecordLength = 26;
constexpr int ShortestStoredRecord = 23;
constexpr int TwoDecimalTimeLength = 11;

} // namespace

bool IsTimeStampLine(const QByteArray& line) {
    const QByteArray mark = line.left(1) + line.mid(6, 2);
    return mark == " C1" || mark == "?C1" || mark == "cC1";
}

QByteArray DeviceLineIn(const QByteArray& line) {
    qsizetype start = 0;
    while (start < line.size() && static_cast<unsigned char>(line[start]) < 0x20)
        ++start;
    const QByteArray fromStatus = line.mid(start);
    if (IsTimeStampLine(fromStatus))
        return fromStatus;
    // Noise joined to a line is told from it only by a whole stamp: the latest one wins.
    for (qsizetype at = line.size() - ShortestStoredRecord; at > start; --at) {
        const QByteArray candidate = line.mid(at);
        if (IsTimeStampLine(candidate) && HasTimeOfDay(DeviceRecordOf(candidate)))
            return candidate;
    }
    return fromStatus;
}

QString DeviceRecordOf(const QByteArray& line) {
    QString record;
    for (const char byte : line.left(RecordLength))
        record += byte >= 0x20 && byte < 0x7F ? QLatin1Char(byte) : QLatin1Char('?');
    return record;
}

bool IsStorableRecord(const QString& record) {
    return record.size() >= ShortestStoredRecord;
}

bool HasTimeOfDay(const QString& record) {
    static const QRegularExpression timeOfDay(
        QStringLiteral("^([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]\\.[0-9]{1,4} *$"));
    return IsStorableRecord(record) && timeOfDay.match(record.mid(10, 13)).hasMatch();
}

bool IsOfferedRecord(const QString& record) {
    return !record.startsWith(QLatin1Char('c'));
}

QString DeviceTimeOf(const QString& record) {
    const QString time = record.mid(10, 13);
    const QString trimmed = time.trimmed();
    return trimmed.size() == TwoDecimalTimeLength ? trimmed + QStringLiteral("00") : time;
}

namespace {

// A stamp that came while no race was known (a window opened without the server and without
// a copy) belongs to the race in work when the server takes it.
QString RaceOfStamp(const QString& raceCode) {
    if (!raceCode.isEmpty())
        return SqlValue(raceCode);
    return QStringLiteral("coalesce((select nullif(e.tcode, '') from execinfo e limit 1), '0')");
}

} // namespace

QStringList DeviceInsertLines(const QString& raceCode, const QString& record,
                              const QString& journalId) {
    const bool named = !journalId.isEmpty();
    QStringList lines = {
        named
            ? QStringLiteral("insert into tdc_mid ( tcode,dt,getstr,bib,st,tm,tstat,jid ) values (")
            : QStringLiteral("insert into tdc_mid ( tcode,dt,getstr,bib,st,tm,tstat ) values ("),
        RaceOfStamp(raceCode),
        QStringLiteral(",now()"),
        ValueLine(QStringLiteral(","), record),
        ValueLine(QStringLiteral(","), record.mid(1, 4)),
        ValueLine(QStringLiteral(","), record.mid(6, 2)),
        ValueLine(QStringLiteral(","), DeviceTimeOf(record)),
        ValueLine(QStringLiteral(","), record.left(1))};
    if (named)
        lines << ValueLine(QStringLiteral(","), journalId);
    lines << QStringLiteral(")");
    return lines;
}

#include "data/actions/HandStamp.h"

#include "data/actions/CapturedWrites.h"
#include "data/actions/StampColumns.h"
#include "data/sql/SqlValue.h"
#include "data/sql/StatementLines.h"
#include "data/sql/TQuery.h"

#include <QRegularExpression>

namespace {

// The arrival of the race's stamp nearest to `time` on one side, or none.
QString ArrivalOfNeighbour(TQuery& reading, const QString& time, bool before) {
    reading.SetSQL({RaceLine(QStringLiteral("select cast(dt as char) as dt from tdc_mid where "
                                            "tcode = ")),
                    ValueLine(before ? QStringLiteral("and st = 'C1' and tm <= ")
                                     : QStringLiteral("and st = 'C1' and tm > "),
                              time),
                    before ? QStringLiteral("order by tm desc, dt desc limit 1")
                           : QStringLiteral("order by tm, dt limit 1")});
    reading.Open();
    const QString dt = reading.RecordCount() > 0 ? reading.Value(0, 0) : QString();
    reading.Close();
    return dt;
}

QString ArrivalOf(TQuery& reading, const QString& time) {
    for (const bool before : {true, false})
        if (const QString dt = ArrivalOfNeighbour(reading, time, before); !dt.isEmpty())
            return dt;
    reading.SetSQL({QStringLiteral("select cast(now() as char) as dt")});
    reading.Open();
    const QString now = reading.Value(0, 0);
    reading.Close();
    return now;
}

} // namespace

std::optional<QString> HandTimeOfDay(const QString& typed) {
    static const QRegularExpression timeOfDay(
        QStringLiteral("^([01]?[0-9]|2[0-3]):([0-5][0-9]):([0-5][0-9])(?:\\.([0-9]))?$"));
    const QRegularExpressionMatch match =
        timeOfDay.match(typed.normalized(QString::NormalizationForm_KC).trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QString tenths = match.captured(4).isEmpty() ? QStringLiteral("0") : match.captured(4);
    return match.captured(1).rightJustified(2, QLatin1Char('0')) + QLatin1Char(':') +
           match.captured(2) + QLatin1Char(':') + match.captured(3) + QLatin1Char('.') + tenths +
           QStringLiteral("000");
}

void WriteHandStamp(CapturedWrites& writes, TQuery& reading, const StampRef& stamp) {
    QStringList columns = {"tcode", "dt", "getstr", "bib", "st", "tm", "tstat", "sumi", "zek"};
    QStringList values = {StatementRace(), ArrivalOf(reading, stamp.time),
                          HandStampLine, QStringLiteral("0000"),
                          QStringLiteral("C1"), stamp.time,
                          QStringLiteral(" "), QStringLiteral("0"),
                          QString()};
    // Named as the device's are: the key press that takes it finds it before its id is known.
    if (CurrentStampColumns().jid && !stamp.jid.isEmpty()) {
        columns << QStringLiteral("jid");
        values << stamp.jid;
    }
    writes.Insert(QStringLiteral("tdc_mid"), columns, values);
}

QString StampByHandColumn() {
    return QStringLiteral("if(tdc_mid.getstr = %1, %2, '') as hand")
        .arg(SqlValue(HandStampLine), SqlValue(QStringLiteral("手")));
}

QString PassingByHandColumn() {
    return QStringLiteral("if(exists(select 1 from tdc_mid t where t.tcode = midjyun.tcode and "
                          "t.tm = midjyun.tod and t.getstr = %1), %2, '') as hand")
        .arg(SqlValue(HandStampLine), SqlValue(QStringLiteral("手")));
}

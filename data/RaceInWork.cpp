#include "data/RaceInWork.h"

#include "common/uComm.h"
#include "data/Udm1.h"
#include "data/actions/HandStamp.h"
#include "data/actions/StampColumns.h"
#include "data/reads/DeadHeatMark.h"
#include "data/reads/PassingLogBib.h"
#include "data/sql/DatabaseError.h"
#include "data/sql/SqlValue.h"
#include "data/sql/StatementLines.h"

namespace {

void Reload(TQuery& query, const QStringList& lines) {
    query.SetSQL(lines);
    query.Open();
}

// The statements of the lists the window shows, for the race in work.
void SetListStatements(TDm1& dm, const QString& code) {
    dm.Qmidtime.SetSQL({QStringLiteral("select * from result where tcode=") + code +
                        QStringLiteral(" order by midfin1 desc,zek")});
    dm.Qmidtime2.SetSQL(
        {QStringLiteral("select ") +
         ByteColumns({QStringLiteral("bib"), QStringLiteral("mtime"), QStringLiteral("tod")}) +
         QStringLiteral(",") + PassingLogWholeBibColumn() + QStringLiteral(",") +
         PassingDeadHeatColumn() + QStringLiteral(",") + PassingByHandColumn() +
         QStringLiteral(" from midjyun where tcode=") + code +
         // The passings of one time of day (a dead heat) are told apart by their place among
         // themselves, which the index keeps: a key of bib as well would sort the whole log.
         QStringLiteral(" order by midjyun.tod desc")});
    // The device-time grid shows the time and shades it by state; its other readers take the
    // stamp's zek. A refresh reads no more columns than these and the order's dt, by which the
    // next window goes on. A time in state "2" that a passing carries is held for a dead heat,
    // not discarded: each row says so itself, so a row fetched later by scrolling is shaded as
    // rightly as the first screenful.
    // Stamps of one second and one time of day are told apart by id, in the grid index's order.
    const QString byArrival =
        CurrentStampColumns().id ? QStringLiteral(",tdc_mid.id") : QString();
    dm.Qdpmid.SetSQL(
        {QStringLiteral("select ") +
             ByteColumns({QStringLiteral("tm"), QStringLiteral("sumi"), QStringLiteral("zek"),
                          QStringLiteral("dt")}) +
             QStringLiteral(",") + StampIdColumn() + QStringLiteral(",") + StampByHandColumn() +
             QStringLiteral(",(tdc_mid.sumi = '2' and exists (select 1 from midjyun m "
                            "where m.tcode = tdc_mid.tcode and m.tod = tdc_mid.tm)) as held"),
         QStringLiteral("from tdc_mid where tcode = ") + code,
         QStringLiteral("order by tdc_mid.dt desc,tdc_mid.tm desc") + byArrival});
}

} // namespace

RaceInWork OpenRaceInWork(TDm1& dm) {
    RaceInWork race;
    dm.Qexecinfo.Close();
    dm.Qexecinfo.Open();
    race.RaceCode = dm.Qexecinfo.FieldByName(QStringLiteral("tcode")).AsString();
    if (race.RaceCode.isEmpty())
        race.RaceCode = QStringLiteral("0");
    uComm::RaceCode = race.RaceCode;
    const QString code = SqlValue(race.RaceCode);
    SetStampColumns(ReadStampColumns(dm.Qtemp2));

    Reload(dm.Qsttime, {QStringLiteral("select * from tiki where tcode=") + code});
    race.Relay =
        dm.Qsttime.FieldByName(QStringLiteral("syumoku")).AsString() == QLatin1String("10");
    QString name = dm.Qsttime.FieldByName(QStringLiteral("TIKIMEI")).AsString();
    if (name.isEmpty())
        name = QStringLiteral("大会未指定");

    Reload(dm.Qsttime, {QStringLiteral("select * from result where tcode=") + code});
    SetListStatements(dm, code);
    dm.Qmidtime.Open();
    dm.Qmidtime2.Open();
    Reload(dm.Qmax, {QStringLiteral("select max(tpno1) as maxn from midtp2")});
    dm.Qdeltime.Open();
    dm.Qdpmid.Open();
    race.Caption = race.RaceCode + QStringLiteral("  ") + name;
    return race;
}

RaceInWork OpenRaceFromCopy(TDm1& dm, const RaceCopy& copy) {
    uComm::RaceCode = copy.raceCode;
    SetStampColumns(copy.stampColumns);
    SetListStatements(dm, SqlValue(copy.raceCode));
    if (copy.raceCode.isEmpty())
        return {{}, false, QStringLiteral("レース不明（サーバー応答なし・控えなし）")};
    return {copy.raceCode, copy.relay, copy.caption};
}

OpenedRace OpenRaceOrItsCopy(TDm1& dm) {
    try {
        // A source that did not answer when it was chosen may answer now.
        dm.DB.Open();
        return {OpenRaceInWork(dm), std::nullopt};
    } catch (const DatabaseError& error) {
        if (dm.DB.Connected() && !error.isConnectionLost())
            throw;
    }
    RaceCopyStore::Found copy =
        RaceCopyStore::Newest(dm.DB.SourceName()).value_or(RaceCopyStore::Found{});
    RaceInWork race = OpenRaceFromCopy(dm, copy.race);
    return {std::move(race), std::move(copy)};
}

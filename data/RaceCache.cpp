#include "data/RaceCache.h"

#include "data/RelayLegs.h"
#include "data/SplitRules.h"
#include "data/SqlValue.h"
#include "data/StatementLines.h"
#include "data/TQuery.h"

#include <algorithm>

namespace {

QHash<QString, int> ClassLimits(TQuery& reading, const QString& column) {
    reading.SetSQL({QStringLiteral("select class,%1 as n from env").arg(column),
                    RaceLine(QStringLiteral("where tcode = "))});
    reading.Open();
    QHash<QString, int> limits;
    for (reading.First(); !reading.Eof(); reading.Next())
        limits.insert(reading.FieldByName(QStringLiteral("class")).AsString(),
                      reading.FieldByName(QStringLiteral("n")).AsInteger());
    reading.Close();
    return limits;
}

} // namespace

void RaceCache::Load(TQuery& reading) {
    competitors_.clear();
    teams_.clear();
    const QHash<QString, int> lapn = ClassLimits(reading, QStringLiteral("lapn"));
    const QHash<QString, int> relayn = ClassLimits(reading, QStringLiteral("RELAYN"));
    QStringList columns = {QStringLiteral("zek"), QStringLiteral("startedtime"),
                           QStringLiteral("class1")};
    for (int k = 1; k <= SplitColumns; ++k)
        columns << QStringLiteral("midtime%1").arg(k) << QStringLiteral("midfin%1").arg(k);
    // Read whole, as bytes: the driver converts no cell of the race's thousands of rows.
    reading.SetFetchWindow(0);
    reading.SetSQL({QStringLiteral("select ") + ByteColumns(columns) + QStringLiteral(" from result"),
                    RaceLine(QStringLiteral("where tcode = "))});
    reading.Open();
    const TQuery& results = reading;
    const auto column = [&](const QString& name) { return results.FieldIndex(name); };
    const int zek = column(QStringLiteral("zek"));
    const int start = column(QStringLiteral("startedtime"));
    const int cls = column(QStringLiteral("class1"));
    for (int row = 0; row < results.RecordCount(); ++row) {
        const QString bib = results.Value(row, zek);
        // The first row of a bib stands, as the key press's read took it.
        if (competitors_.contains(bib))
            continue;
        CompetitorSplits competitor{true, results.Value(row, start), {}, {},
                                    lapn.value(results.Value(row, cls))};
        for (int k = 1; k <= SplitColumns; ++k) {
            competitor.splitTimes << results.Value(row, column(QStringLiteral("midtime%1").arg(k)));
            competitor.passings << results.Value(row, column(QStringLiteral("midfin%1").arg(k)));
        }
        competitors_.insert(bib, competitor);
    }
    reading.Close();
    reading.SetSQL({QStringLiteral("select zek,num,class1,startedtime,finishtime from relaymember"),
                    RaceLine(QStringLiteral("where tcode = "))});
    reading.Open();
    for (reading.First(); !reading.Eof(); reading.Next()) {
        const QString bib = reading.FieldByName(QStringLiteral("zek")).AsString();
        RelayTeam& team = teams_[bib];
        if (!team.registered) {
            team = {bib, true, {}, relayn.value(reading.FieldByName(QStringLiteral("class1")).AsString()),
                    std::vector<RelayLeg>(RelayTimedLegs), {}};
        }
        const int num = reading.FieldByName(QStringLiteral("num")).AsString().toInt();
        if (num >= 1 && num <= RelayTimedLegs)
            team.timed[num - 1] = {reading.FieldByName(QStringLiteral("startedtime")).AsString(),
                                   reading.FieldByName(QStringLiteral("finishtime")).AsString()};
    }
    reading.Close();
    for (RelayTeam& team : teams_) {
        team.start = team.timed.front().start;
        team.timed.resize(std::clamp(team.legs, 0, RelayTimedLegs));
    }
}

CompetitorSplits RaceCache::Competitor(const QString& zek) const {
    CompetitorSplits unknown;
    unknown.splitTimes = QStringList(SplitColumns, QString());
    unknown.passings = QStringList(SplitColumns, QString());
    return competitors_.value(zek, unknown);
}

RelayTeam RaceCache::Team(const QString& zek) const {
    RelayTeam team = teams_.value(zek, RelayTeam{zek, false, {}, 0, {}, {}});
    // The read the operator is shown, as a key press would send it.
    team.statement = ShownStatement(TeamReadLines(zek)).join(QStringLiteral("\r\n"));
    return team;
}

void RaceCache::ExpectSplit(const QString& zek, int n, const QString& splitTime,
                            const QString& passing) {
    auto it = competitors_.find(zek);
    if (it == competitors_.end() || n < 1 || n > SplitColumns)
        return;
    it->splitTimes[n - 1] = splitTime;
    it->passings[n - 1] = passing;
}

void RaceCache::ExpectNoSplit(const QString& zek, int n) {
    ExpectSplit(zek, n, {}, {});
}

void RaceCache::ExpectLeg(const QString& zek, int leg, const QString& finish) {
    auto it = teams_.find(zek);
    if (it == teams_.end() || leg < 1 || leg > int(it->timed.size()))
        return;
    it->timed[leg - 1].finish = finish;
    if (leg < int(it->timed.size()))
        it->timed[leg].start = NextLegStart(finish);
}

void RaceCache::Reload(TDatabase& database, const QString& zek) {
    SplitRecorder splits(database);
    competitors_.remove(zek);
    const CompetitorSplits competitor = splits.ReadCompetitor(zek);
    if (competitor.registered)
        competitors_.insert(zek, competitor);
    RelayRecorder relay(database);
    teams_.remove(zek);
    const RelayTeam team = relay.ReadTeam(zek);
    if (team.registered)
        teams_.insert(zek, team);
}

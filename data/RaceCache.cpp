#include "data/RaceCache.h"

#include "common/uComm.h"
#include "data/ForcedStartTable.h"
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

namespace {

QStringList CompetitorColumns() {
    QStringList columns = {QStringLiteral("zek"), QStringLiteral("startedtime"),
                           QStringLiteral("class1")};
    for (int k = 1; k <= SplitColumns; ++k)
        columns << QStringLiteral("midtime%1").arg(k) << QStringLiteral("midfin%1").arg(k);
    return columns;
}

// Each competitor of the rows; the first row of a bib stands, as a key press's read took it.
QHash<QString, CompetitorSplits> CompetitorsOf(const TQuery& rows,
                                               const QHash<QString, int>& lapn) {
    QHash<QString, CompetitorSplits> competitors;
    const auto column = [&](const QString& name) { return rows.FieldIndex(name); };
    const int zek = column(QStringLiteral("zek"));
    const int start = column(QStringLiteral("startedtime"));
    const int cls = column(QStringLiteral("class1"));
    for (int row = 0; row < rows.RecordCount(); ++row) {
        const QString bib = rows.Value(row, zek);
        if (competitors.contains(bib))
            continue;
        CompetitorSplits competitor{
            true, rows.Value(row, start), {}, {}, lapn.value(rows.Value(row, cls))};
        for (int k = 1; k <= SplitColumns; ++k) {
            competitor.splitTimes << rows.Value(row, column(QStringLiteral("midtime%1").arg(k)));
            competitor.passings << rows.Value(row, column(QStringLiteral("midfin%1").arg(k)));
        }
        competitors.insert(bib, competitor);
    }
    return competitors;
}

QHash<QString, RelayTeam> TeamsOf(const TQuery& rows, const QHash<QString, int>& relayn) {
    QHash<QString, RelayTeam> teams;
    const int zek = rows.FieldIndex(QStringLiteral("zek"));
    const int num = rows.FieldIndex(QStringLiteral("num"));
    const int cls = rows.FieldIndex(QStringLiteral("class1"));
    const int start = rows.FieldIndex(QStringLiteral("startedtime"));
    const int finish = rows.FieldIndex(QStringLiteral("finishtime"));
    const int forced = rows.FieldIndex(QStringLiteral("forced"));
    for (int row = 0; row < rows.RecordCount(); ++row) {
        const QString bib = rows.Value(row, zek);
        RelayTeam& team = teams[bib];
        if (!team.registered)
            team = {bib,
                    true,
                    {},
                    relayn.value(rows.Value(row, cls)),
                    std::vector<RelayLeg>(RelayTimedLegs),
                    {},
                    rows.Value(row, cls)};
        const int leg = rows.Value(row, num).toInt();
        if (leg >= 1 && leg <= RelayTimedLegs)
            team.timed[leg - 1] = {rows.Value(row, start), rows.Value(row, finish),
                                   rows.Value(row, forced).toInt() != 0};
    }
    for (RelayTeam& team : teams) {
        team.start = team.timed.front().start;
        team.timed.resize(std::clamp(team.legs, 0, RelayTimedLegs));
    }
    return teams;
}

QString LegColumns() {
    return QStringLiteral("zek,num,class1,startedtime,finishtime,") + ForcedLegColumn();
}

// What the server knows and this workstation does not: an empty cell filled.
void FillUnset(QString& known, const QString& server) {
    if (IsUnsetTime(known) && !IsUnsetTime(server))
        known = server;
}

} // namespace

void RaceCache::Load(TQuery& reading) {
    lapn_ = ClassLimits(reading, QStringLiteral("lapn"));
    relayn_ = ClassLimits(reading, QStringLiteral("RELAYN"));
    // Read whole, as bytes: the driver converts no cell of the race's thousands of rows.
    reading.SetFetchWindow(0);
    reading.SetSQL({QStringLiteral("select ") + ByteColumns(CompetitorColumns()) +
                        QStringLiteral(" from result"),
                    RaceLine(QStringLiteral("where tcode = "))});
    reading.Open();
    competitors_ = CompetitorsOf(reading, lapn_);
    reading.Close();
    EnsureForcedStartTable(reading);
    reading.SetSQL({QStringLiteral("select ") + LegColumns() + QStringLiteral(" from relaymember"),
                    RaceLine(QStringLiteral("where tcode = "))});
    reading.Open();
    teams_ = TeamsOf(reading, relayn_);
    reading.Close();
}

QStringList RaceCache::RecentCompetitorsStatement(int split) {
    return {QStringLiteral("select ") + ByteColumns(CompetitorColumns()) +
                QStringLiteral(" from result"),
            RaceLine(QStringLiteral("where tcode = ")),
            QStringLiteral("order by midfin%1 desc limit %2").arg(split).arg(RecentRows)};
}

QStringList RaceCache::RecentTeamsStatement() {
    return {QStringLiteral("select ") + LegColumns() +
                QStringLiteral(" from relaymember where zek in (select zek from (select zek "
                               "from relaymember"),
            RaceLine(QStringLiteral("where tcode = ")),
            QStringLiteral("order by finishtime desc limit %1) recent)").arg(RecentRows),
            RaceLine(QStringLiteral("and tcode = "))};
}

QStringList RaceCache::CompetitorsStatement(const QStringList& zeks) {
    return {QStringLiteral("select ") + ByteColumns(CompetitorColumns()) +
                QStringLiteral(" from result"),
            RaceLine(QStringLiteral("where tcode = ")),
            QStringLiteral("and zek in (") + SqlValueList(zeks) + QLatin1Char(')')};
}

QStringList RaceCache::TeamsStatement(const QStringList& zeks) {
    return {QStringLiteral("select ") + LegColumns() + QStringLiteral(" from relaymember"),
            RaceLine(QStringLiteral("where tcode = ")),
            QStringLiteral("and zek in (") + SqlValueList(zeks) + QLatin1Char(')')};
}

void RaceCache::Replace(const QStringList& zeks, const TQuery& competitorRows,
                        const TQuery& teamRows) {
    for (const QString& zek : zeks) {
        competitors_.remove(zek);
        teams_.remove(zek);
    }
    competitors_.insert(CompetitorsOf(competitorRows, lapn_));
    teams_.insert(TeamsOf(teamRows, relayn_));
}

void RaceCache::FillCompetitors(const TQuery& rows) {
    const QHash<QString, CompetitorSplits> competitors = CompetitorsOf(rows, lapn_);
    for (auto it = competitors.begin(); it != competitors.end(); ++it) {
        CompetitorSplits& known = competitors_[it.key()];
        if (!known.registered) {
            known = *it;
            continue;
        }
        for (int k = 0; k < SplitColumns; ++k) {
            if (!IsUnsetTime(known.passings[k]))
                continue;
            known.passings[k] = it->passings[k];
            known.splitTimes[k] = it->splitTimes[k];
        }
    }
}

void RaceCache::FillTeams(const TQuery& rows) {
    const QHash<QString, RelayTeam> teams = TeamsOf(rows, relayn_);
    for (auto it = teams.begin(); it != teams.end(); ++it) {
        RelayTeam& known = teams_[it.key()];
        if (!known.registered) {
            known = *it;
            continue;
        }
        for (std::size_t leg = 0; leg < known.timed.size() && leg < it->timed.size(); ++leg) {
            FillUnset(known.timed[leg].start, it->timed[leg].start);
            FillUnset(known.timed[leg].finish, it->timed[leg].finish);
            known.timed[leg].forcedStart |= it->timed[leg].forcedStart;
        }
    }
}

CompetitorSplits RaceCache::Competitor(const QString& zek) const {
    CompetitorSplits unknown;
    unknown.splitTimes = QStringList(SplitColumns, QString());
    unknown.passings = QStringList(SplitColumns, QString());
    return competitors_.value(zek, unknown);
}

RelayTeam RaceCache::Team(const QString& zek) const {
    RelayTeam team = teams_.value(zek, RelayTeam{zek, false, {}, 0, {}, {}, {}});
    // The read the operator is shown, as a key press would send it.
    team.statement = ShownStatement(TeamReadLines(zek)).join(QStringLiteral("\r\n"));
    return team;
}

SplitsOfRace RaceCache::CountSplits() const {
    SplitsOfRace counted;
    for (const CompetitorSplits& competitor : competitors_) {
        const auto splits =
            std::count_if(competitor.splitTimes.begin(), competitor.splitTimes.end(),
                          [](const QString& time) { return !time.isEmpty(); });
        counted.splits += int(splits);
        counted.competitors += splits > 0;
    }
    return counted;
}

int RaceCache::FinishedLegs() const {
    int finished = 0;
    for (const RelayTeam& team : teams_)
        finished +=
            int(std::count_if(team.timed.begin(), team.timed.end(),
                              [](const RelayLeg& leg) { return !IsUnsetTime(leg.finish); }));
    return finished;
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
    // A late runner's finish leaves the start of the leg started by force.
    if (leg < int(it->timed.size()) && !it->timed[leg].forcedStart)
        it->timed[leg].start = NextLegStart(finish);
}

QStringList RaceCache::TeamsToForce(int exchange, const QString& teamClass) const {
    QStringList teams;
    for (const RelayTeam& team : teams_) {
        const bool inClass = teamClass.isEmpty() || team.teamClass == teamClass;
        if (team.registered && inClass && exchange >= 1 && exchange < int(team.timed.size()) &&
            !IsUnsetTime(team.start) && IsUnsetTime(team.timed[exchange].start))
            teams << team.bib;
    }
    teams.sort();
    return teams;
}

QStringList RaceCache::RelayClasses() const {
    QStringList classes;
    for (auto it = relayn_.begin(); it != relayn_.end(); ++it)
        if (it.value() > 1)
            classes << it.key();
    classes.sort();
    return classes;
}

void RaceCache::ExpectForcedStart(const QStringList& zeks, int leg, const QString& start) {
    for (const QString& zek : zeks) {
        auto it = teams_.find(zek);
        if (it == teams_.end() || leg < 1 || leg > int(it->timed.size()))
            continue;
        it->timed[leg - 1].start = start;
        it->timed[leg - 1].forcedStart = true;
    }
}

void RaceCache::ExpectWaiting(const std::deque<OperatorAction>& actions, const QString& zek) {
    for (const OperatorAction& action : actions) {
        const ActionRequest& request = action.request;
        if (action.progress != OperatorAction::Progress::Waiting ||
            action.raceCode != uComm::RaceCode || (!zek.isEmpty() && request.bib != zek))
            continue;
        if (request.kind == ActionRequest::Kind::Split)
            ExpectSplit(request.bib, request.number, request.runningTime, request.stamp.time);
        else if (request.kind == ActionRequest::Kind::RelayLeg)
            ExpectLeg(request.bib, request.number, request.stamp.time);
        else if (request.kind == ActionRequest::Kind::Cancel)
            ExpectNoSplit(request.bib, request.number);
        else if (request.kind == ActionRequest::Kind::ForcedStart)
            ExpectForcedStart(request.teams, request.number, request.start);
    }
}

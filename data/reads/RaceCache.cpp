#include "data/reads/RaceCache.h"

#include "common/uComm.h"
#include "data/actions/ChangeList.h"
#include "data/actions/DecisionState.h"
#include "data/actions/ForcedStartTable.h"
#include "data/rules/RelayLegs.h"
#include "data/rules/SplitRules.h"
#include "data/sql/SqlValue.h"
#include "data/sql/StatementLines.h"
#include "data/sql/TQuery.h"

#include <algorithm>

namespace {

QHash<QString, int> ClassLimits(const TQuery& rows, const QString& column) {
    QHash<QString, int> limits;
    const int cls = rows.FieldIndex(QStringLiteral("class"));
    const int n = rows.FieldIndex(column);
    for (int row = 0; row < rows.RecordCount(); ++row)
        limits.insert(rows.Value(row, cls), rows.Value(row, n).toInt());
    return limits;
}

} // namespace

namespace {

QStringList CompetitorColumns() {
    QStringList columns = {QStringLiteral("zek"), QStringLiteral("startedtime"),
                           QStringLiteral("class1")};
    for (int k = 1; k <= SplitColumns; ++k)
        columns << QStringLiteral("midtime%1").arg(k) << QStringLiteral("midfin%1").arg(k);
    for (int k = 2; k <= SplitColumns; ++k)
        columns << QStringLiteral("midst%1").arg(k);
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
            true, rows.Value(row, start), {}, {}, lapn.value(rows.Value(row, cls)), {}};
        for (int k = 1; k <= SplitColumns; ++k) {
            competitor.splitTimes << rows.Value(row, column(QStringLiteral("midtime%1").arg(k)));
            competitor.passings << rows.Value(row, column(QStringLiteral("midfin%1").arg(k)));
        }
        for (int k = 2; k <= SplitColumns; ++k)
            competitor.splitStarts << rows.Value(row, column(QStringLiteral("midst%1").arg(k)));
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

QString CompetitorsRead() {
    return QStringLiteral("select ") + ByteColumns(CompetitorColumns()) +
           QStringLiteral(" from result");
}

QString TeamsRead() {
    return QStringLiteral("select ") + LegColumns() + QStringLiteral(" from relaymember");
}

} // namespace

void RaceCache::Load(TQuery& reading) {
    reading.SetSQL(ClassLimitsStatement());
    reading.Open();
    TakeClassLimits(reading);
    reading.Close();
    EnsureForcedStartTable(reading);
    EnsureChangeListTable(reading);
    // Read whole, as bytes: the driver converts no cell of the race's thousands of rows.
    reading.SetFetchWindow(0);
    reading.SetSQL(WholeCompetitorsStatement());
    reading.Open();
    competitors_ = CompetitorsOf(reading, lapn_);
    reading.Close();
    reading.SetSQL(WholeTeamsStatement());
    reading.Open();
    teams_ = TeamsOf(reading, relayn_);
    reading.Close();
}

QStringList RaceCache::ClassLimitsStatement() {
    return {QStringLiteral("select class,lapn,RELAYN from env"),
            RaceLine(QStringLiteral("where tcode = "))};
}

void RaceCache::TakeClassLimits(const TQuery& rows) {
    lapn_ = ClassLimits(rows, QStringLiteral("lapn"));
    relayn_ = ClassLimits(rows, QStringLiteral("RELAYN"));
}

QStringList RaceCache::WholeCompetitorsStatement() {
    return {CompetitorsRead(), RaceLine(QStringLiteral("where tcode = "))};
}

QStringList RaceCache::WholeTeamsStatement() {
    return {TeamsRead(), RaceLine(QStringLiteral("where tcode = "))};
}

void RaceCache::TakeWhole(const TQuery& competitorRows, const TQuery& teamRows) {
    competitors_ = CompetitorsOf(competitorRows, lapn_);
    teams_ = TeamsOf(teamRows, relayn_);
}

QStringList RaceCache::ChangedCompetitorsStatement(qint64 seen, qint64 wholeSeen) {
    return {CompetitorsRead(), RaceLine(QStringLiteral("where tcode = ")),
            QStringLiteral("and ") + ChangedBibsCondition(seen, wholeSeen)};
}

QStringList RaceCache::ChangedTeamsStatement(qint64 seen, qint64 wholeSeen) {
    return {TeamsRead(), RaceLine(QStringLiteral("where tcode = ")),
            QStringLiteral("and ") + ChangedBibsCondition(seen, wholeSeen)};
}

void RaceCache::Take(const TQuery& competitorRows, const TQuery& teamRows) {
    competitors_.insert(CompetitorsOf(competitorRows, lapn_));
    teams_.insert(TeamsOf(teamRows, relayn_));
}

void RaceCache::TakeState(const ActionRequest& request, const QString& state) {
    if (request.kind == ActionRequest::Kind::RelayLeg) {
        RelayTeam team = TeamFromState(request.bib, state);
        team.teamClass = teams_.value(request.bib).teamClass;
        teams_.insert(request.bib, team);
    } else if (state.isEmpty()) {
        competitors_.remove(request.bib);
    } else {
        competitors_.insert(request.bib, CompetitorFromState(state));
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
    // From split 2 on the split keeps where it was measured from.
    if (n >= 2 && !passing.isEmpty() && it->splitStarts.size() >= n - 1)
        it->splitStarts[n - 2] = it->start;
}

void RaceCache::ExpectNoSplit(const QString& zek, int n) {
    auto it = competitors_.find(zek);
    if (it == competitors_.end() || n < 1 || n > SplitColumns)
        return;
    it->splitTimes[n - 1].clear();
    it->passings[n - 1].clear();
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

void RaceCache::Expect(const ActionRequest& request) {
    if (request.kind == ActionRequest::Kind::Split)
        ExpectSplit(request.bib, request.number, request.runningTime, request.stamp.time);
    else if (request.kind == ActionRequest::Kind::RelayLeg)
        ExpectLeg(request.bib, request.number, request.stamp.time);
    else if (request.kind == ActionRequest::Kind::Cancel)
        ExpectNoSplit(request.bib, request.number);
    else if (request.kind == ActionRequest::Kind::ForcedStart)
        ExpectForcedStart(request.teams, request.number, request.start);
    else if (request.kind == ActionRequest::Kind::Reset)
        ExpectNoSplits();
    else if (request.kind == ActionRequest::Kind::RelayReset)
        ExpectNoLegs();
}

void RaceCache::ExpectNoSplits() {
    for (CompetitorSplits& competitor : competitors_) {
        competitor.splitTimes.fill(QString());
        competitor.passings.fill(QString());
    }
}

void RaceCache::ExpectNoLegs() {
    // Leg 1 keeps its start, which is the team's start.
    for (RelayTeam& team : teams_)
        for (std::size_t leg = 0; leg < team.timed.size(); ++leg) {
            if (leg > 0)
                team.timed[leg].start.clear();
            team.timed[leg].finish.clear();
            team.timed[leg].forcedStart = false;
        }
}

void RaceCache::Unexpect(const ActionRequest& request) {
    if (request.kind == ActionRequest::Kind::Split &&
        Competitor(request.bib).passings.value(request.number - 1) == request.stamp.time)
        ExpectNoSplit(request.bib, request.number);
    else if (request.kind == ActionRequest::Kind::RelayLeg)
        ExpectLegUndone(request.bib, request.number, request.stamp.time);
}

void RaceCache::ExpectLegUndone(const QString& zek, int leg, const QString& finish) {
    auto it = teams_.find(zek);
    if (it == teams_.end() || leg < 1 || leg > int(it->timed.size()) ||
        it->timed[leg - 1].finish != finish)
        return;
    it->timed[leg - 1].finish.clear();
    if (leg < int(it->timed.size()) && !it->timed[leg].forcedStart &&
        it->timed[leg].start == NextLegStart(finish))
        it->timed[leg].start.clear();
}

void RaceCache::ExpectWaiting(const std::deque<OperatorAction>& actions, const QString& zek) {
    const auto mine = [&](const OperatorAction& action) {
        return action.raceCode == uComm::RaceCode && (zek.isEmpty() || action.request.bib == zek);
    };
    const QSet<QString> takenBack = TakenBackByWaitingUndos(actions);
    for (const OperatorAction& action : actions) {
        if (!mine(action))
            continue;
        if (takenBack.contains(action.id) && action.progress == OperatorAction::Progress::Applied)
            Unexpect(action.request);
        else if (action.progress == OperatorAction::Progress::Waiting &&
                 !takenBack.contains(action.id))
            Expect(action.request);
    }
}

int RaceCache::MostLegs() const {
    int most = 0;
    for (const int legs : relayn_)
        most = std::max(most, legs);
    return most;
}

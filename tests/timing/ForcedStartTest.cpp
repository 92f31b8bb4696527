// Forced starts of an ekiden (繰り上げスタート), from the keys of the relay session to the rows
// of a real race database, applied as the action writer applies them: the forced legs' starts,
// the late runners' finishes, the team times as sums of legs, the letters, and the undo.
#include "timing/session/RelaySession.h"

#include "common/uComm.h"
#include "data/Udm1.h"
#include "data/actions/ActionApplier.h"
#include "data/actions/ForcedStartTable.h"
#include "data/reads/RaceCache.h"
#include "data/reads/RelayLegList.h"
#include "data/sql/TQuery.h"
#include "support/QtPrinting.h"
#include "support/RelayRace.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

const QStringList Teams = {"0001", "0002", "0003", "0004", "0005"};

// One key press: a team's bib, or "*2", with the time at the head of the panel.
struct Step {
    QString box;
    QString time;
    QString letters;  // of the five teams after it
    QString teamTime; // of the team typed, after it
};

// Five teams of a six-leg class, all started at 09:00. 0001 and 0002 exchange normally; at
// exchange 2 the other three are started together at 09:55:00.0 (stamp 09:55:00.0600). 0003
// and 0004 arrive after it, within the minimum of five minutes, and their legs 2 are timed
// without touching the forced starts of their legs 3; 0005's runner of leg 2 never arrives,
// so its team has no time. The team times of the forced teams are sums of their legs.
const QList<Step> Race = {
    {"1", "09:20:00.1234", "BAAAA", "   20:00.1"}, {"2", "09:21:00.0000", "BBAAA", "   21:00.0"},
    {"3", "09:23:00.0000", "BBBAA", "   23:00.0"}, {"4", "09:24:30.5000", "BBBBA", "   24:30.5"},
    {"5", "09:25:00.0000", "BBBBB", "   25:00.0"}, {"1", "09:41:10.5678", "CBBBB", "   41:10.5"},
    {"2", "09:43:00.0000", "CCBBB", "   43:00.0"}, {"*2", "09:55:00.0600", "CCBBB", ""},
    {"3", "09:56:30.2500", "CCCBB", "   56:30.2"}, {"4", "09:58:00.0000", "CCCCB", "   58:00.0"},
    {"1", "10:02:00.0000", "DCCCB", " 1:02:00.0"}, {"2", "10:05:00.0000", "DDCCB", " 1:05:00.0"},
    {"3", "10:17:00.0000", "DDDCB", " 1:18:30.2"}, {"4", "10:18:00.0000", "DDDDB", " 1:21:00.0"},
    {"5", "10:19:00.0000", "DDDDD", ""},           {"1", "10:25:30.9000", "EDDDD", " 1:25:30.9"},
    {"2", "10:28:00.0000", "EEDDD", " 1:28:00.0"}, {"3", "10:40:00.0000", "EEEDD", " 1:41:30.2"},
    {"4", "10:41:00.0000", "EEEED", " 1:44:00.0"}, {"5", "10:42:00.0000", "EEEEE", ""},
    {"1", "10:47:00.4400", "FEEEE", " 1:47:00.4"}, {"2", "10:50:00.0000", "FFEEE", " 1:50:00.0"},
    {"3", "11:02:00.0000", "FFFEE", " 2:03:30.2"}, {"4", "11:03:00.0000", "FFFFE", " 2:06:00.0"},
    {"5", "11:04:00.0000", "FFFFF", ""},           {"1", "11:10:15.2500", "GFFFF", " 2:10:15.2"},
    {"2", "11:13:00.0000", "GGFFF", " 2:13:00.0"}, {"3", "11:25:00.0000", "GGGFF", " 2:26:30.2"},
    {"4", "11:26:00.0000", "GGGGF", " 2:29:00.0"}, {"5", "11:27:00.0000", "GGGGG", ""},
};

// Every leg at the end: start, finish, leg time, letter.
const QMap<QString, QList<QStringList>> Legs = {
    {"0001",
     {{"09:00:00.0000", "09:20:00.1234", "   20:00.1", "G"},
      {"09:20:00.1000", "09:41:10.5678", "   21:10.4", "G"},
      {"09:41:10.5000", "10:02:00.0000", "   20:49.5", "G"},
      {"10:02:00.0000", "10:25:30.9000", "   23:30.9", "G"},
      {"10:25:30.9000", "10:47:00.4400", "   21:29.5", "G"},
      {"10:47:00.4000", "11:10:15.2500", "   23:14.8", "G"}}},
    {"0002",
     {{"09:00:00.0000", "09:21:00.0000", "   21:00.0", "G"},
      {"09:21:00.0000", "09:43:00.0000", "   22:00.0", "G"},
      {"09:43:00.0000", "10:05:00.0000", "   22:00.0", "G"},
      {"10:05:00.0000", "10:28:00.0000", "   23:00.0", "G"},
      {"10:28:00.0000", "10:50:00.0000", "   22:00.0", "G"},
      {"10:50:00.0000", "11:13:00.0000", "   23:00.0", "G"}}},
    {"0003",
     {{"09:00:00.0000", "09:23:00.0000", "   23:00.0", "G"},
      {"09:23:00.0000", "09:56:30.2500", "   33:30.2", "G"},
      {"09:55:00.0000", "10:17:00.0000", "   22:00.0", "G"},
      {"10:17:00.0000", "10:40:00.0000", "   23:00.0", "G"},
      {"10:40:00.0000", "11:02:00.0000", "   22:00.0", "G"},
      {"11:02:00.0000", "11:25:00.0000", "   23:00.0", "G"}}},
    {"0004",
     {{"09:00:00.0000", "09:24:30.5000", "   24:30.5", "G"},
      {"09:24:30.5000", "09:58:00.0000", "   33:29.5", "G"},
      {"09:55:00.0000", "10:18:00.0000", "   23:00.0", "G"},
      {"10:18:00.0000", "10:41:00.0000", "   23:00.0", "G"},
      {"10:41:00.0000", "11:03:00.0000", "   22:00.0", "G"},
      {"11:03:00.0000", "11:26:00.0000", "   23:00.0", "G"}}},
    {"0005",
     {{"09:00:00.0000", "09:25:00.0000", "   25:00.0", "G"},
      {"09:25:00.0000", "", "", "T"},
      {"09:55:00.0000", "10:19:00.0000", "   24:00.0", "G"},
      {"10:19:00.0000", "10:42:00.0000", "   23:00.0", "G"},
      {"10:42:00.0000", "11:04:00.0000", "   22:00.0", "G"},
      {"11:04:00.0000", "11:27:00.0000", "   23:00.0", "G"}}},
};

class ForcedStart : public testing::Test {
protected:
    void SetUp() override {
        uComm::RaceCode = "R1";
        db.Exec("insert into execinfo (num,tcode,updx,stat) values (1,'R1',0,'')");
        race.AddClass("E6", 6);
        race.AddClass("E2", 2); // too short for exchange 2: never started by force
        for (const QString& zek : Teams)
            race.AddTeam(zek, "E6", "09:00:00.0000", 6);
        race.AddTeam("0009", "E2", "09:00:00.0000", 2);
        for (int k = 0; k < Race.size(); ++k)
            race.AddStamp(Race[k].time, k);
        TQuery reading(dm.DB, "CacheReading");
        cache.Load(reading);
    }

    // The step's key press at its time, its action applied as the writer applies it.
    KeyPressResult Press(const Step& step) {
        const StampRef head = Head(step.time);
        if (!RelaySession::AsksForcedStart(step.box))
            return Applied(relay.Press(step.box, BibKey::Enter, head, "5", true));
        plan = relay.PlanForcedStart(step.box, head);
        return Applied(relay.StartForced(plan));
    }
    KeyPressResult Applied(const KeyPressResult& press) {
        EXPECT_TRUE(press.action) << qPrintable(press.refusal);
        if (press.action)
            Apply(press.action->request, press.action->bib);
        return press;
    }
    StampRef Head(const QString& time) const {
        return {db.Scalar(QString("select id from tdc_mid where tm = '%1'").arg(time)).toLongLong(),
                {},
                time};
    }
    ApplyOutcome Apply(const ActionRequest& request, const QString& bib = {}) {
        OperatorAction action;
        action.id = QStringLiteral("a-%1").arg(history.size());
        action.raceCode = "R1";
        action.page = ActionPage::Relay;
        action.bib = bib;
        action.request = request;
        action.marksChange = true;
        const ApplyOutcome outcome = applier.Apply(action, history);
        action.changes = outcome.changes;
        action.progress = outcome.result == ApplyOutcome::Result::Applied
                              ? OperatorAction::Progress::Applied
                              : OperatorAction::Progress::Refused;
        history.push_back(action);
        return outcome;
    }
    ApplyOutcome Undo(const QString& id) {
        ActionRequest undo;
        undo.kind = ActionRequest::Kind::Undo;
        undo.target = id;
        const ApplyOutcome outcome = Apply(undo);
        for (OperatorAction& action : history)
            action.undone |= action.id == id && outcome.result == ApplyOutcome::Result::Applied;
        return outcome;
    }
    // Runs the steps; their letters and team times as they came.
    QList<Step> Run(const QList<Step>& steps) {
        QList<Step> seen;
        for (const Step& step : steps) {
            const KeyPressResult press = Press(step);
            const QString zek = press.action ? press.action->bib : QString();
            seen.push_back({step.box, step.time, Letters(),
                            zek.isEmpty() ? QString() : race.Team(zek).value(0)});
        }
        return seen;
    }
    QString Letters() const {
        QString letters;
        for (const QString& zek : Teams)
            letters += race.Team(zek).value(1);
        return letters;
    }
    QList<QStringList> LegsOf(const QString& zek) const {
        QList<QStringList> legs;
        for (int n = 1; n <= 6; ++n)
            legs << race.Leg(zek, n);
        return legs;
    }
    // Every row a forced start may change.
    QList<QStringList> Rows() const {
        return db.Rows("select zek, num, startedtime, finishtime, runtime, status from relaymember"
                       " order by zek, num") +
               db.Rows("select zek, runtime, status from result order by zek") +
               db.Rows("select id, sumi from tdc_mid order by id") +
               db.Rows("select zek, leg, startedtime from midforced order by zek, leg");
    }

    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
    RelayRace race{db};
    RaceCache cache;
    RelaySession relay{cache};
    ActionApplier applier{dm.DB};
    std::deque<OperatorAction> history;
    ForcedStartPlan plan;
};

bool operator==(const Step& a, const Step& b) {
    return a.box == b.box && a.letters == b.letters && a.teamTime == b.teamTime;
}
void PrintTo(const Step& step, std::ostream* out) {
    *out << qPrintable(
        QString("%1 %2 %3 [%4]").arg(step.box, step.time, step.letters, step.teamTime));
}

TEST_F(ForcedStart, LateRunnersFinishBesideTheForcedOnesAndForcedTeamsAreTimedByTheirLegs) {
    EXPECT_EQ(Run(Race), Race);
    for (auto it = Legs.begin(); it != Legs.end(); ++it)
        EXPECT_EQ(LegsOf(it.key()), it.value()) << qPrintable(it.key());
    EXPECT_EQ(race.Team("0005"), QStringList({"", "G"}));
    EXPECT_EQ(race.Leg("0009", 2), QStringList({"", "", "", "S"}));

    // The question named the exchange, the time and the teams; the stamp was used up and
    // each team marked with the action.
    EXPECT_EQ(plan.question, "第2中継所で繰上スタートします。\n3走 3 チームを 09:55:00.0 に"
                             "スタートさせます。\nよろしいですか？");
    EXPECT_EQ(race.StampState("09:55:00.0600"), "1");
    EXPECT_EQ(db.Rows("select zek, leg, startedtime, aid from midforced order by zek"),
              QList<QStringList>({{"0003", "3", "09:55:00.0000", "a-7"},
                                  {"0004", "3", "09:55:00.0000", "a-7"},
                                  {"0005", "3", "09:55:00.0000", "a-7"}}));

    // The teams never forced, raced again without the forced start, come to the same rows.
    const QList<QStringList> first = LegsOf("0001") + LegsOf("0002");
    const QStringList teams = race.Team("0001") + race.Team("0002");
    db.Exec("update relaymember set startedtime = '', finishtime = '', runtime = '', status = 'S'"
            " where num <> '1'");
    db.Exec("update relaymember set finishtime = '', runtime = '', status = 'T' where num = '1'");
    db.Exec("update result set runtime = '', status = 'A'");
    db.Exec("update tdc_mid set sumi = '0'");
    TQuery reading(dm.DB, "CacheReading");
    cache.Load(reading);
    QList<Step> normal;
    for (const Step& step : Race)
        if (step.box == "1" || step.box == "2")
            normal << step;
    Run(normal);
    EXPECT_EQ(LegsOf("0001") + LegsOf("0002"), first);
    EXPECT_EQ(race.Team("0001") + race.Team("0002"), teams);
}

// Taken back, a forced start restores every start, mark and stamp; while a later action of
// this workstation stands on one of its starts, that action is named and nothing changes.
TEST_F(ForcedStart, UndoRestoresEveryRowAndWaitsForTheLaterActionsOnItsLegs) {
    Run(Race.mid(0, 7));
    const QList<QStringList> before = Rows();
    Run(Race.mid(7, 1));
    const QString forced = history.back().id;
    ASSERT_EQ(history.back().progress, OperatorAction::Progress::Applied);
    EXPECT_NE(Rows(), before);
    ASSERT_EQ(Undo(forced).result, ApplyOutcome::Result::Applied);
    EXPECT_EQ(Rows(), before);

    // Again, and the forced runner of 0005 finishes leg 3 before the undo.
    TQuery reading(dm.DB, "CacheReading");
    cache.Load(reading);
    plan = relay.PlanForcedStart("*２", Head("09:55:00.0600"));
    ASSERT_FALSE(plan.press.Refused()) << qPrintable(plan.press.refusal);
    Apply(relay.StartForced(plan).action->request);
    const QString forcedAgain = history.back().id;
    Run({{"5", "10:19:00.0000", "CCBBD", ""}});
    const ApplyOutcome blocked = Undo(forcedAgain);
    EXPECT_EQ(blocked.result, ApplyOutcome::Result::Refused);
    EXPECT_TRUE(blocked.refusal.contains("チームNo.0005 の3走")) << qPrintable(blocked.refusal);
    ASSERT_EQ(Undo(history[history.size() - 2].id).result, ApplyOutcome::Result::Applied);
    ASSERT_EQ(Undo(forcedAgain).result, ApplyOutcome::Result::Applied);
    EXPECT_EQ(Rows(), before);
}

// What a forced start is refused for is told before anything is sent; a leg started meanwhile
// by another workstation refuses it in the writer. A race database made before forced starts
// gets their table when the race is read.
TEST_F(ForcedStart, RefusalsSendNothingAndALegStartedElsewhereRefusesTheWholeStart) {
    db.Exec("drop table midforced");
    TQuery reading(dm.DB, "CacheReading");
    cache.Load(reading);
    EXPECT_EQ(db.Scalar("select count(*) from midforced"), "0");
    const StampRef head = Head("09:20:00.1234");
    const ForcedStartPlan all = relay.PlanForcedStart("*1", head);
    ASSERT_EQ(all.press.action->request.teams,
              QStringList({"0001", "0002", "0003", "0004", "0005", "0009"}));
    race.RunLeg("0004", 2, "09:19:00.0000"); // exchanged at another workstation
    const QList<QStringList> exchanged = Rows();
    const ApplyOutcome refused = Apply(relay.StartForced(all).action->request);
    EXPECT_EQ(refused.result, ApplyOutcome::Result::Refused);
    EXPECT_EQ(refused.refusal,
              "チームNo.0004 の2走は既にスタートしています。繰上スタートを記録しませんでした。");
    EXPECT_EQ(Rows(), exchanged);
    // The window reads the refused teams again; 0004 is no longer one to start.
    cache.Load(reading);
    EXPECT_EQ(relay.PlanForcedStart("*1", head).press.action->request.teams,
              QStringList({"0001", "0002", "0003", "0005", "0009"}));

    for (const QString& box : {QString("*"), QString("*0"), QString("*123")})
        EXPECT_TRUE(relay.PlanForcedStart(box, head).press.refusal.startsWith("中継所の番号を"))
            << qPrintable(box);
    EXPECT_EQ(relay.PlanForcedStart("*6", head).press.refusal,
              "第6中継所で繰上スタートするチームはありません。");
    EXPECT_EQ(relay.PlanForcedStart({1, "E2"}, head, "").press.action->request.teams,
              QStringList({"0009"}));
    EXPECT_TRUE(relay.PlanForcedStart("*1", std::nullopt).press.Refused());
    relay.Press("1", BibKey::Space, head, "5", true); // a dead heat holds the head
    EXPECT_TRUE(relay.PlanForcedStart("*1", head).press.refusal.startsWith("同着"));
}

// A race database whose user may read and write it but not add tables: the relay is timed and
// listed as before, a reset clears it, and a forced start is refused, told why.
TEST_F(ForcedStart, AUserWhoMayNotAddItsTableTimesTheRelayWithoutForcedStarts) {
    db.Exec("drop table midforced");
    db.Exec("create user if not exists 'clerk'@'localhost' identified by 'clerk'");
    db.Exec("grant select, insert, update, delete on `" + db.Name() + "`.* to 'clerk'@'localhost'");
    TDatabase clerk;
    TDatabase::Source source = dm.DB.CurrentSource();
    source.params.removeIf([](const QString& line) {
        return line.startsWith("USER NAME=", Qt::CaseInsensitive) ||
               line.startsWith("PASSWORD=", Qt::CaseInsensitive);
    });
    source.params << "USER NAME=clerk"
                  << "PASSWORD=clerk";
    clerk.UseSource(source);
    clerk.Open();
    TQuery reading(clerk, "ClerkReading");
    cache.Load(reading);
    ASSERT_EQ(db.Scalar("select count(*) from information_schema.tables where table_schema = '" +
                        db.Name() + "' and table_name = 'midforced'"),
              "0");
    EXPECT_FALSE(ForcedStartsKept());
    EXPECT_EQ(relay.PlanForcedStart("*1", Head("09:20:00.1234")).press.refusal,
              NoForcedStartTableMessage);

    ActionApplier clerkApplier(clerk);
    const auto apply = [&](const ActionRequest& request) {
        OperatorAction action;
        action.id = QStringLiteral("c-%1").arg(history.size());
        action.raceCode = "R1";
        action.page = ActionPage::Relay;
        action.request = request;
        const ApplyOutcome outcome = clerkApplier.Apply(action, history);
        history.push_back(action);
        return outcome;
    };
    const KeyPressResult leg = relay.Press("1", BibKey::Enter, Head("09:20:00.1234"), "5", true);
    ASSERT_TRUE(leg.action) << qPrintable(leg.refusal);
    EXPECT_EQ(apply(leg.action->request).result, ApplyOutcome::Result::Applied);
    reading.SetSQL(RelayLegListStatement(1));
    reading.Open();
    EXPECT_EQ(reading.RecordCount(), 1);
    reading.Close();
    ActionRequest reset;
    reset.kind = ActionRequest::Kind::RelayReset;
    EXPECT_EQ(apply(reset).result, ApplyOutcome::Result::Applied);
    EXPECT_EQ(db.Scalar("select count(*) from relaymember where finishtime <> ''"), "0");
}

} // namespace

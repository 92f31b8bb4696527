// A race replayed into the real window as a volunteer works it: the device's lines come down
// a pseudo-terminal, the keys go to whatever has the focus, clicks land where the widgets
// show, and the volunteer's mistakes and the day's troubles come in between: a wrong bib
// taken back, a doubled Enter, a cancel and its time given by hand, the server
// stopped and paused while bibs are typed, the device unplugged, a dead heat, a stray stamp,
// a reset answered with Enter and then one taken back. At the end the race holds exactly who
// passed when: every split and every leg as the truth table says, every stamp used once or
// discarded, none lost, and no box opened but the questions the volunteer asked for.
#include "tests/timing/ReplayFixture.h"

#include "common/uComm.h"
#include "data/actions/ActionHistory.h"
#include "serial/PortNames.h"
#include "support/OperatorHands.h"
#include "support/PrivateServer.h"
#include "support/RelayRace.h"
#include "timing/widgets/StatusStrip.h"
#include "timing/widgets/TDBGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTime>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <thread>

using namespace OperatorHands;

namespace {

// Stamps this many ahead of the volunteer: runners pass before their bibs are typed.
constexpr int Ahead = 3;

// The lap race: 65 runners pass the point three times, 20 minutes apart; 10 and 11 cross the
// line together in the second round; two stray stamps.
class LapReplay : public Replay {
public:
    static void SetUpTestSuite() { EXPECT_TRUE(PrivateServer::Start()); }
    static void TearDownTestSuite() { PrivateServer::Finish(); }

protected:
    void SetUp() override {
        Replay::SetUp();
        AddClass("M", 3);
        for (int bib = 1; bib <= Runners; ++bib)
            AddCompetitor(FormatBib4(bib), "M", "09:00:00.0000");
        for (int round = 1; round <= 3; ++round) {
            for (int bib = 1; bib <= Runners; ++bib) {
                const int at = 9 * 3600 + round * 1200 + bib * 12;
                if (round == 2 && bib == 11)
                    continue; // with 10, on its stamp
                QStringList bibs = {QString::number(bib)};
                if (round == 2 && bib == 10)
                    bibs << QStringLiteral("11");
                passings.push_back({TimeOfDay(at), bibs});
                expected[FormatBib4(bib)] << TimeOfDay(at);
                if (round == 2 && bib == 10)
                    expected[FormatBib4(11)] << TimeOfDay(at);
                if ((round == 1 && bib == 20) || (round == 3 && bib == 5))
                    passings.push_back({TimeOfDay(at + 3), {}});
            }
        }
    }
    QList<QStringList> Race() const {
        return db.Rows("select * from result order by zek") + StoredStamps() +
               db.Rows("select * from midjyun order by tod, bib");
    }

    // The server stops; the device and the volunteer go on: each bib shows at once and waits
    // in the journal, and the panel goes on with the stamps the server has not seen. The
    // server back, everything reaches it. Gives the passings typed.
    int TypeThroughAStoppedServer(int k) {
        WaitForBox(Ahead, passings[k + Ahead].time); // what the server has is on the panel
        EXPECT_TRUE(PrivateServer::Run("stop"));
        constexpr int Typed = 5;
        for (int j = k; j < k + Typed; ++j) {
            SendUpTo(j + Ahead);
            WaitForBox(0, passings[j].time);
            TypeOne(j);
        }
        EXPECT_GE(window->UnsentCount(), Typed);
        EXPECT_TRUE(PrivateServer::Run("start"));
        db.Reconnect();
        return Typed;
    }
    // A hung server: bibs typed meanwhile take no longer than when it answers. Gives the
    // passings typed.
    int TypeThroughAPausedServer(int k) {
        constexpr int Typed = 3;
        WaitForBox(Ahead, passings[k + Ahead].time);
        std::atomic<bool> resumed = false;
        OperatorHands::SetAfterEach({}); // nothing answers: nothing to wait for
        PrivateServer::Signal(SIGSTOP);
        std::thread resume([&] {
            std::this_thread::sleep_for(std::chrono::seconds(TDatabase::StatementLimitSeconds + 2));
            PrivateServer::Signal(SIGCONT);
            resumed = true;
        });
        for (int j = k; j < k + Typed; ++j) {
            SendUpTo(j + Ahead);
            WaitForBox(0, passings[j].time);
            QElapsedTimer press;
            press.start();
            TypeOne(j);
            longestPressMs = std::max(longestPressMs, press.elapsed());
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return resumed.load(); }, 20000));
        resume.join();
        OperatorHands::SetAfterEach([this] { Settle(); });
        return Typed;
    }
    // The device's cable is pulled once what it sent is on the panel; typing goes on.
    void UnplugTheDevice(int k) {
        WaitForBox(Ahead, passings[k + Ahead].time);
        line->CloseMaster();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return Told().join(' ').contains("との接続が切れました"); }, 5000))
            << qPrintable(Told().join('\n'));
        unplugged = true;
    }
    // A new cable: the volunteer chooses the port again on the settings page.
    void PlugTheDeviceIn() {
        replugged = std::make_unique<PtyPair>();
        SetPortPathOverride(kPort, replugged->SlavePath());
        line = replugged.get();
        QTabBar* tabs = Control<QTabWidget>("PageControl1")->tabBar();
        ClickAt(tabs, tabs->tabRect(1).center());
        QComboBox* ports = Control<QComboBox>("Cbxcomm1");
        Click(ports);
        ports->hidePopup();
        const int port = ports->findText("COM200");
        ports->setCurrentIndex(port);
        emit ports->activated(port);
        ClickAt(tabs, tabs->tabRect(0).center());
        unplugged = false;
    }
    // "初期化" answered with Enter erases nothing; answered はい and taken back with Ctrl+Z,
    // the race is as it was.
    void ResetAndTakeItBack(int k) {
        WaitForBox(Ahead, passings[k + Ahead].time); // no stamp on its way in
        const QList<QStringList> before = Race();
        window->resize(1240, window->height());
        QCoreApplication::processEvents();
        answers.AnswerWithKey(Qt::Key_Return);
        Click(Control<QPushButton>("Button2"));
        EXPECT_EQ(Race(), before);
        answers.Answer(QMessageBox::Yes);
        Click(Control<QPushButton>("Button2"));
        EXPECT_EQ(db.Scalar("select count(*) from midjyun"), "0");
        Press(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Race(), before);
        window->resize(984, window->height());
    }
    // A bib typed for the wrong runner, recorded, and taken out with the split list's
    // "取り消し"; the time, given back, goes to the right runner by hand.
    void CancelTheWrongRunner(int k) {
        Enter(LaterBib(k, 5));
        CancelTopSplit();
        GiveByHand(FormatBib4(passings[k].bibs[0].toInt()), passings[k].time);
    }

    static constexpr int Runners = 65;
    qint64 longestPressMs = 0;
    std::map<QString, QStringList> expected;
    std::unique_ptr<PtyPair> replugged;
    bool unplugged = false;
};

TEST_F(LapReplay, EveryRunnerGetsExactlyTheSplitsThatHappenedWhateverCameInBetween) {
    OpenWindow();
    const int outage = 40, pause = 66, unplug = 80, reset = 100;
    for (int k = 0; k < int(passings.size()); ++k) {
        if (k == unplug + Ahead)
            PlugTheDeviceIn();
        if (!unplugged)
            SendUpTo(k + Ahead);
        if (k == outage)
            k += TypeThroughAStoppedServer(k);
        if (k == pause)
            k += TypeThroughAPausedServer(k);
        if (!unplugged)
            SendUpTo(k + Ahead);
        if (k == unplug)
            UnplugTheDevice(k);
        if (k == reset)
            ResetAndTakeItBack(k);
        WaitForBox(0, passings[k].time);
        ASSERT_FALSE(HasFatalFailure()) << "at passing " << k << "\n"
                                        << qPrintable(Told().join('\n'));
        if (k == 9) {
            Enter(LaterBib(k, 5)); // a wrong runner, recorded; taken back at once
            Press(Qt::Key_Z, Qt::ControlModifier);
        }
        if (k == 14)
            CancelTheWrongRunner(k);
        else
            TakePassing(passings[k]);
        if (k == 6)
            Press(Qt::Key_Return); // a doubled Enter: told, nothing taken
    }

    // Every action in the database, whatever it waited for.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->UnsentCount() == 0; }, 30000))
        << qPrintable(Waiting());
    EXPECT_LT(longestPressMs, 200) << "a key press waited for the hung server";
    for (const auto& [zek, times] : expected)
        EXPECT_EQ(db.Rows("select midfin1, midfin2, midfin3 from result where zek = '" + zek + "'")
                      .value(0),
                  times)
            << qPrintable(zek);
    EXPECT_EQ(StoredStamps(), TruthOfStamps());
    EXPECT_EQ(db.Scalar("select count(*) from midjyun"), QString::number(3 * Runners));
    EXPECT_EQ(db.Scalar("select count(distinct bib, tod) from midjyun"),
              QString::number(3 * Runners));
    // No box but the questions asked for: the cancel, the time given by hand, the two resets.
    EXPECT_EQ(answers.Texts().size(), 4) << qPrintable(answers.Texts().join('\n'));
}

// The relay race: 12 teams of four legs, 15 minutes a leg; teams 5 and 6 hand over together at
// the second exchange; a stray stamp. The volunteer types a wrong team, types one twice, forgets
// to tick "最終走者も処理" before the first finish, and resets the race by mistake.
class RelayReplay : public Replay {
protected:
    void SetUp() override {
        Replay::SetUp();
        db.Exec("update tiki set syumoku = '10'");
        race.AddClass("R", 4);
        for (int team = 1; team <= Teams; ++team)
            race.AddTeam(FormatBib4(100 + team), "R", "10:00:00.0000");
        for (int leg = 1; leg <= 4; ++leg) {
            for (int team = 1; team <= Teams; ++team) {
                const int at = 10 * 3600 + leg * 900 + team * 20;
                if (leg == 2 && team == 6)
                    continue;
                QStringList bibs = {QString::number(100 + team)};
                if (leg == 2 && team == 5)
                    bibs << QStringLiteral("106");
                passings.push_back({TimeOfDay(at), bibs});
                finishes[FormatBib4(100 + team)] << TimeOfDay(at);
                if (leg == 2 && team == 5)
                    finishes[FormatBib4(106)] << TimeOfDay(at);
                if (leg == 3 && team == 2)
                    passings.push_back({TimeOfDay(at + 4), {}});
            }
        }
    }
    static constexpr int Teams = 12;
    RelayRace race{db};
    std::map<QString, QStringList> finishes;
};

TEST_F(RelayReplay, EveryTeamGetsExactlyTheLegsThatHappenedWhateverCameInBetween) {
    OpenWindow();
    ASSERT_EQ(PageShown(), "リレー計測");
    const int firstFinish = int(
        std::find_if(passings.begin(), passings.end(),
                     [](const Passing& p) { return p.time >= TimeOfDay(10 * 3600 + 4 * 900); }) -
        passings.begin());
    for (int k = 0; k < int(passings.size()); ++k) {
        SendUpTo(k + Ahead);
        WaitForBox(0, passings[k].time);
        ASSERT_FALSE(HasFatalFailure()) << "at passing " << k;
        if (k == 8) {
            Enter(LaterBib(k, 2)); // the wrong team, recorded; taken back with the button
            Click(Control<QPushButton>("BtnUndo3"));
        }
        if (k == 20) {
            const QList<QStringList> before =
                db.Rows("select * from relaymember order by zek, num");
            answers.AnswerWithKey(Qt::Key_Return);
            Click(Control<QPushButton>("Button3"));
            answers.Answer(QMessageBox::Yes);
            Click(Control<QPushButton>("Button3"));
            Press(Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(db.Rows("select * from relaymember order by zek, num"), before);
        }
        if (k == firstFinish) {
            TakePassing(passings[k]); // "最終走者も処理" not ticked: told, the time waits
            Click(Control<QCheckBox>("CkBLast"));
        }
        TakePassing(passings[k]);
        if (k == 5)
            Press(Qt::Key_Return); // a doubled Enter
    }

    for (const auto& [zek, times] : finishes) {
        QStringList legs;
        for (int leg = 1; leg <= 4; ++leg)
            legs << race.Leg(zek, leg).value(1);
        EXPECT_EQ(legs, times) << qPrintable(zek);
        EXPECT_EQ(race.Team(zek).value(1), "G") << qPrintable(zek);
    }
    EXPECT_EQ(StoredStamps(), TruthOfStamps());
    EXPECT_EQ(answers.Texts().size(), 2) << qPrintable(answers.Texts().join('\n'));
    const QString told = Told().join('\n');
    EXPECT_TRUE(told.contains("最終走者も処理")) << qPrintable(told);
}

} // namespace

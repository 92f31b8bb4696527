// Two workstations on one race, the second far away behind a delaying proxy and in a process
// of its own, both typing the bib of every passing within 100 ms of each other, before or
// after: in the first round as soon as the near one shows the time (the far one's panel is
// often behind), in the second once both show it. Each stamp goes to its runner once:
// whichever workstation comes second is refused by the server, never overwrites, never
// doubles, and lists the refusal under 要確認.
#include "tests/timing/ReplayFixture.h"

#include "common/uComm.h"
#include "support/FarDataSource.h"
#include "support/OperatorHands.h"
#include "support/RelayRace.h"
#include "support/SecondWorkstationProcess.h"
#include "timing/widgets/AttentionList.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace OperatorHands;

namespace {

constexpr int Runners = 20;
constexpr int Rounds = 2;

// The second workstation, far away behind a delaying proxy, in a process of its own.
class FarWorkstation : public Replay {
protected:
    void StartTheSecond() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TARNIK_HOME", secondHome.path());
        ASSERT_TRUE(second.Start(QCoreApplication::applicationDirPath() + "/second_workstation",
                                 {db.Name(), FarDataSource::Name()}, environment))
            << qPrintable(second.Said());
    }

    FarDataSource far{20};
    QTemporaryDir secondHome;
    SecondWorkstationProcess second;
};

class TwoWorkstations : public FarWorkstation {
protected:
    void SetUp() override {
        Replay::SetUp();
        AddClass("M", Rounds);
        for (int bib = 1; bib <= Runners; ++bib)
            AddCompetitor(FormatBib4(bib), "M", "09:00:00.0000");
        for (int round = 1; round <= Rounds; ++round)
            for (int k = 0; k < Runners; ++k) {
                // The field spreads out: the order changes from one round to the next.
                const int bib = round == 1 ? k + 1 : (k * 7) % Runners + 1;
                const QString time = TimeOfDay(9 * 3600 + round * 1200 + k * 4);
                passings.push_back({time, {QString::number(bib)}});
                truth[FormatBib4(bib)] << time;
            }
        OpenWindow();
        OperatorHands::SetAfterEach({});
        StartTheSecond();
    }

    // Both volunteers type the bib, the second `offsetMs` later (earlier when negative).
    void BothType(int k, int offsetMs) {
        const QString bib = passings[k].bibs[0];
        if (offsetMs < 0) {
            second.Tell(bib);
            QTest::qWait(-offsetMs);
        }
        TypeOne(k);
        if (offsetMs >= 0) {
            QTest::qWait(offsetMs);
            second.Tell(bib);
        }
    }

    int SplitsNotTrue() const {
        int notTrue = 0;
        for (const auto& [zek, times] : truth)
            notTrue +=
                db.Rows("select midfin1, midfin2 from result where zek = '" + zek + "'").value(0) !=
                times;
        return notTrue;
    }
    int AppliedHere() const {
        int applied = 0;
        for (const OperatorAction& action : window->Actions().Actions())
            applied += action.progress == OperatorAction::Progress::Applied;
        return applied;
    }

    std::map<QString, QStringList> truth;
};

TEST_F(TwoWorkstations, TheSameBibTypedNearAndFarWithin100MsIsRecordedOnceAndTheOtherRefused) {
    const int offsets[] = {-100, -60, -20, 0, 20, 60, 100};
    for (int k = 0; k < int(passings.size()); ++k) {
        SendUpTo(k);
        WaitForBox(0, passings[k].time);
        ASSERT_FALSE(HasFatalFailure()) << "at passing " << k;
        if (k >= Runners)
            second.WaitForHead(passings[k].time);
        BothType(k, offsets[k % 7]);
        QTest::qWait(500); // the next runner
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->UnsentCount() == 0; }, 30000));
    ASSERT_TRUE(second.Reported(60000)) << qPrintable(second.Said());

    const int passingsCount = int(passings.size());
    const int appliedFar = second.SaidAfter("applied").value(0).toInt();
    const int typedFar = int(second.SaidAfter("typed").size());
    const int toldFar = int(second.SaidAfter("told").size());
    std::printf("two workstations: %d passings; near applied %d, told %lld; far typed %d, applied "
                "%d, told %d\n",
                passingsCount, AppliedHere(), Told().size(), typedFar, appliedFar, toldFar);
    EXPECT_EQ(SplitsNotTrue(), 0);
    EXPECT_EQ(db.Scalar("select count(*) from midjyun"), QString::number(passingsCount));
    EXPECT_EQ(db.Scalar("select count(distinct bib, tod) from midjyun"),
              QString::number(passingsCount));
    EXPECT_EQ(db.Scalar("select count(*) from tdc_mid where sumi = '1'"),
              QString::number(passingsCount));
    // Each stamp taken once, by one or the other; every bib not recorded is listed as such.
    EXPECT_GT(appliedFar, 0) << "the far workstation never came first\n"
                             << qPrintable(second.Said());
    EXPECT_EQ(AppliedHere() + appliedFar, passingsCount);
    EXPECT_EQ(typedFar, passingsCount);
    EXPECT_GE(Told().size(), passingsCount - AppliedHere()) << qPrintable(Told().join('\n'));
    EXPECT_GE(toldFar, typedFar - appliedFar) << qPrintable(second.Said());
    EXPECT_TRUE(second.SaidAfter("error").isEmpty()) << qPrintable(second.Said());
    EXPECT_TRUE(answers.Texts().isEmpty()) << qPrintable(answers.Texts().join('\n'));
}

// A relay exchange timed from two workstations, the far one typing on a copy that this one
// makes stale: it takes back a team's exchange, then resets the relay. Whatever the far
// one's copy says, each time goes to the team that passed on it, as the leg that was running.
class TwoWorkstationsRelay : public FarWorkstation {
protected:
    void SetUp() override {
        Replay::SetUp();
        db.Exec("update tiki set syumoku = '10'");
        relay.AddClass("R", 4);
        relay.AddTeam("0101", "R", "10:00:00.0000");
        relay.AddTeam("0102", "R", "10:00:00.0000");
        for (int k = 0; k < 3; ++k)
            relay.AddStamp(Stamps[k], k);
        OpenWindow();
        SetMinimumMinutes("5", "RelayMinutes");
        StartTheSecond();
    }
    QString FinishOfLeg1(const QString& zek) const { return relay.Leg(zek, 1).value(1); }

    static constexpr const char* Stamps[] = {"10:15:00.0000", "10:15:05.0000", "10:16:00.0000"};
    RelayRace relay{db};
};

TEST_F(TwoWorkstationsRelay, AnUndoAndAResetHereNeverLetTheFarCopyWriteAWrongLeg) {
    QLineEdit* box = Control<QLineEdit>("Edit3");
    TypeBib(box, "101");
    ASSERT_EQ(FinishOfLeg1("0101"), Stamps[0]);
    // Taken back here: the far one, which may have heard of the exchange, gets the time back.
    OperatorHands::Press(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(FinishOfLeg1("0101"), "");
    second.Types("101", Stamps[0]);
    EXPECT_EQ(FinishOfLeg1("0101"), Stamps[0]);
    EXPECT_EQ(relay.Leg("0101", 2).value(0), "10:15:00.0000");

    // Reset here, after the far one recorded 0102 too.
    second.Types("102", Stamps[1]);
    ASSERT_EQ(FinishOfLeg1("0102"), Stamps[1]);
    answers.Answer(QMessageBox::Yes);
    OperatorHands::Click(Control<QPushButton>("Button3"));
    ASSERT_EQ(FinishOfLeg1("0102"), "");
    // The far one types at once, its copy still holding both exchanges.
    second.Types("102", Stamps[0]);
    WaitForBox(0, Stamps[1]);
    TypeBib(box, "101");

    EXPECT_EQ(FinishOfLeg1("0102"), Stamps[0]);
    EXPECT_EQ(relay.Leg("0102", 2), QStringList({"10:15:00.0000", "", "", "T"}));
    EXPECT_EQ(FinishOfLeg1("0101"), Stamps[1]);
    EXPECT_EQ(relay.Leg("0101", 2).value(1), "");
    EXPECT_EQ(relay.Team("0101"), QStringList({"   15:05.0", "B"}));
    EXPECT_EQ(relay.StampState(Stamps[2]), "0");
    EXPECT_TRUE(second.SaidAfter("error").isEmpty()) << qPrintable(second.Said());
}

} // namespace

// A bad day of the race server, replayed into the real window: 600 stamps come down the
// device's line at two a second and the volunteer types each bib to the focus as its time
// shows. The server is stopped for a minute, the program is killed near the end of that
// minute and started again once the server is back, then the server hangs for 20 s and later
// restarts. At the end every split in the database is the truth: no bib lost, none on the
// wrong runner, no stamp stored twice.
#include "tests/timing/ReplayFixture.h"

#include "common/uComm.h"
#include "support/OperatorHands.h"
#include "support/PrivateServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <random>

using namespace OperatorHands;

namespace {

constexpr int Runners = 200;
constexpr int Rounds = 3;
constexpr int PaceMs = 500;

// Copies the files of folder `from` into `to`, which is emptied first.
void CopyFolder(const QString& from, const QString& to) {
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        QFile::copy(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name);
}

class OutageReplay : public Replay {
public:
    static void SetUpTestSuite() { EXPECT_TRUE(PrivateServer::Start()); }
    static void TearDownTestSuite() { PrivateServer::Finish(); }

protected:
    // Each round the runners pass in an order of their own, three seconds apart.
    void SetUp() override {
        Replay::SetUp();
        AddClass("M", Rounds);
        std::vector<int> order;
        for (int bib = 1; bib <= Runners; ++bib) {
            AddCompetitor(FormatBib4(bib), "M", "09:00:00.0000");
            order.push_back(bib);
        }
        std::mt19937 shuffle(7);
        for (int round = 1; round <= Rounds; ++round) {
            std::shuffle(order.begin(), order.end(), shuffle);
            for (int k = 0; k < Runners; ++k) {
                const QString time = TimeOfDay(9 * 3600 + round * 1200 + k * 3);
                passings.push_back({time, {QString::number(order[k])}});
                truth[FormatBib4(order[k])] << time;
            }
        }
        OpenWindow();
        OperatorHands::SetAfterEach({}); // the volunteer does not wait for the server
    }

    // The passing `k` at its time: the device sends it, the volunteer sees it head the panel
    // and types its bib.
    void Pass(int k) {
        RunUntil(qint64(k - resumedAt) * PaceMs);
        SendUpTo(k);
        WaitForBox(0, passings[k].time);
        QElapsedTimer press;
        press.start();
        TypeOne(k);
        longestPressMs = std::max(longestPressMs, press.elapsed());
    }
    void RunUntil(qint64 ms) {
        const qint64 left = ms - clock.elapsed();
        if (left > 0)
            QTest::qWait(int(left));
    }

    // As a kill leaves it: the journals' folder as it is now is what the next start finds,
    // whatever closing the window writes.
    void KillTheProgram() {
        const QString journals = qEnvironmentVariable("TARNIK_HOME");
        const QString kept = dataHome.filePath("at-kill");
        CopyFolder(journals, kept);
        window.reset();
        dm.reset();
        CopyFolder(kept, journals);
    }
    void StartTheProgram(int k) {
        dm = std::make_unique<TDm1>(nullptr, db.Name());
        OpenWindow();
        OperatorHands::SetAfterEach({});
        clock.restart();
        resumedAt = k;
    }

    // Splits on the wrong runner or missing, against the truth.
    int CountSplitsNotTrue(int* lost) const {
        int wrong = 0;
        for (const auto& [zek, times] : truth) {
            const QStringList stored =
                db.Rows("select midfin1, midfin2, midfin3 from result where zek = '" + zek + "'")
                    .value(0);
            for (int round = 0; round < Rounds; ++round) {
                if (stored.value(round).isEmpty())
                    ++*lost;
                else if (stored.value(round) != times[round])
                    ++wrong;
            }
        }
        return wrong;
    }

    std::map<QString, QStringList> truth;
    QElapsedTimer clock;
    int resumedAt = 0;
    qint64 longestPressMs = 0;
};

TEST_F(OutageReplay, SixHundredBibsThroughAStoppedHungAndRestartedServerAndAKilledProgram) {
    const int stop = 80, kill = 190, pause = 260, resume = 300, restart = 400;
    constexpr int StoppedMs = 60000;
    int typedWhileAway = 0;
    clock.start();
    qint64 stoppedAt = 0;
    for (int k = 0; k < int(passings.size()); ++k) {
        if (k == stop) {
            ASSERT_TRUE(PrivateServer::Run("stop"));
            stoppedAt = clock.elapsed();
        }
        // Nobody passes while the program is down; the volunteer starts it again once the
        // server is back.
        if (k == kill) {
            EXPECT_GE(window->UnsentCount(), kill - stop);
            KillTheProgram();
            RunUntil(stoppedAt + StoppedMs);
            ASSERT_TRUE(PrivateServer::Run("start"));
            db.Reconnect();
            StartTheProgram(k);
        }
        if (k == pause)
            PrivateServer::Signal(SIGSTOP);
        if (k == resume)
            PrivateServer::Signal(SIGCONT);
        if (k == restart) {
            ASSERT_TRUE(PrivateServer::Run("stop"));
            ASSERT_TRUE(PrivateServer::Run("start"));
            db.Reconnect();
        }
        Pass(k);
        ASSERT_FALSE(HasFatalFailure()) << "at passing " << k << "\n" << qPrintable(Waiting());
        if ((k >= stop && k < kill) || (k >= pause && k < resume))
            ++typedWhileAway;
    }

    ASSERT_TRUE(QTest::qWaitFor([&] { return window->UnsentCount() == 0; }, 60000))
        << qPrintable(Waiting());
    int lost = 0;
    const int wrong = CountSplitsNotTrue(&lost);
    const int doubled = db.Scalar("select count(*) - count(distinct tm) from tdc_mid "
                                  "where st = 'C1'")
                            .toInt();
    std::printf("outage replay: %d stamps, %d bibs typed while the server was away, "
                "%d lost, %d on the wrong runner, %d stamps doubled, longest press %lld ms\n",
                int(passings.size()), typedWhileAway, lost, wrong, doubled, longestPressMs);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(doubled, 0);
    EXPECT_EQ(StoredStamps(), TruthOfStamps());
    EXPECT_EQ(db.Scalar("select count(distinct bib, tod) from midjyun"),
              QString::number(Runners * Rounds));
    EXPECT_LT(longestPressMs, 200) << "a key press waited for the server";
    const QString told = Told().join('\n');
    EXPECT_FALSE(told.contains("記録されませんでした")) << qPrintable(told);
}

} // namespace

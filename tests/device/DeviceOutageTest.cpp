// Stopping or pausing the database server while stamps arrive loses none of them once it is
// back, and holds up none of them on the way in. The server is one of the test's own,
// started for this suite, stopped and started again, or paused, while a writer sends stamps
// down the line.
#include "DeviceWindowFixture.h"

#include "support/PrivateServer.h"

#include <QPlainTextEdit>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <atomic>
#include <chrono>
#include <csignal>
#include <memory>
#include <thread>

#include <QScopeGuard>

namespace {

class DeviceOutage : public DeviceWindowFixture {
public:
    // Before the fixture's database is made: every connection of the test goes to this server.
    static void SetUpTestSuite() { EXPECT_TRUE(PrivateServer::Start()); }
    static void TearDownTestSuite() { PrivateServer::Finish(); }

protected:
    // The bib of the last line the window shows as taken.
    QString LastTakenBib() const {
        return Control<QPlainTextEdit>("Memo3")->toPlainText().split('\n').last().mid(1, 4);
    }

    // Bibs of tdc_mid in order of arrival, on a connection of its own (the fixture's went
    // with the server).
    QStringList StoredBibs() {
        QStringList bibs;
        {
            QSqlDatabase check = QSqlDatabase::addDatabase("QODBC", "outage-check");
            check.setDatabaseName("TarnikLocal;CHARSET=sjis;DATABASE=" + db.Name());
            QSqlQuery query(check);
            if (check.open() && query.exec("select bib from tdc_mid order by dt, id"))
                while (query.next())
                    bibs << query.value(0).toString();
        }
        QSqlDatabase::removeDatabase("outage-check");
        return bibs;
    }

    // Sends a stamp every 40 ms, with bibs 1, 2, 3 ..., until told to stop.
    void StartWriting() {
        writer = std::thread([this] {
            while (!stopWriting) {
                const QByteArray line = StampLine(" ", sent + 1, "C1", "10:00:00.0000");
                for (qsizetype at = 0; at < line.size();)
                    at += pty.SendSome(line.mid(at));
                ++sent;
                std::this_thread::sleep_for(std::chrono::milliseconds(40));
            }
        });
    }
    void WaitForMoreStamps(int count) {
        const int target = sent + count;
        ASSERT_TRUE(Eventually([&] { return sent >= target; }));
    }
    void TearDown() override {
        stopWriting = true;
        if (writer.joinable())
            writer.join();
        DeviceWindowFixture::TearDown();
    }

    std::thread writer;
    std::atomic<int> sent = 0;
    std::atomic<bool> stopWriting = false;
};

// One case, one server: a second server starting beside it in a parallel run would
// contend for its port.
TEST_F(DeviceOutage, StampsArrivingWhileTheServerIsDownOrPausedAreTakenAtOnceAndStoredOnceInOrder) {
    OpenWindow();
    StartWriting();
    WaitForMoreStamps(5);
    ASSERT_TRUE(PrivateServer::Run("stop"));
    WaitForMoreStamps(5);
    EXPECT_TRUE(Eventually([&] { return UnsavedText().startsWith("未保存"); }));
    ASSERT_TRUE(PrivateServer::Run("start"));
    WaitForMoreStamps(5);

    PrivateServer::Signal(SIGSTOP);
    // Longer than the statement limit: the writer's insert gives up and tries again.
    const auto resume = qScopeGuard([] { PrivateServer::Signal(SIGCONT); });
    for (int check = 0; check < 4; ++check) {
        WaitForMoreStamps(40);
        const QString latest = NumberedBibs(sent, sent).first();
        // The window keeps taking lines at the writer's pace while the inserts wait; only a
        // list refresh already on its way when the server stopped waits out its limit.
        const int limitMs = check == 0 ? 1000 * TDatabase::StatementLimitSeconds + 1000 : 1000;
        EXPECT_TRUE(Eventually([&] { return LastTakenBib() >= latest; }, limitMs)) << check;
    }
    EXPECT_TRUE(UnsavedText().startsWith("未保存"));
    PrivateServer::Signal(SIGCONT);
    WaitForMoreStamps(5);
    stopWriting = true;
    writer.join();

    const QStringList expected = NumberedBibs(1, sent);
    EXPECT_TRUE(Eventually([&] { return StoredBibs().size() >= expected.size(); }, 20000));
    EXPECT_EQ(StoredBibs(), expected);
    EXPECT_TRUE(Eventually([&] { return UnsavedText().isEmpty(); }));
}

} // namespace

// Stamps that arrive while the race server is stopped, in the real window: a stored-only stamp
// (status "c") is never offered to a bib, stamps held in memory while the stamp journal's disk
// is full go to the journal as soon as it takes them, and a stamp lost with the program
// (neither in the journal nor on the server) is refused with its bib, stopping no later one.
#include "DeviceWindowFixture.h"

#include "support/PrivateServer.h"
#include "timing/widgets/AttentionList.h"

#include <QLineEdit>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::atomic<bool> stampDiskFull = false;
std::string stampJournalPath; // set before stampDiskFull

bool IsStampJournal(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    const ssize_t length = ::readlink(link, target, sizeof target);
    // The journal itself and the fresh file that would replace it.
    return length > 0 && std::string_view(target, length).starts_with(stampJournalPath);
}

} // namespace

// Stands in for the C library's write in this test program: while the stamp journal's disk is
// full, its writes fail as a full disk's do. Every other write goes through.
extern "C" ssize_t write(int fd, const void* bytes, size_t count) {
    if (stampDiskFull && IsStampJournal(fd)) {
        errno = ENOSPC;
        return -1;
    }
    return ::syscall(SYS_write, fd, bytes, count);
}

namespace {

class StampsThroughOutage : public DeviceWindowFixture {
public:
    static void SetUpTestSuite() { EXPECT_TRUE(PrivateServer::Start()); }
    static void TearDownTestSuite() { PrivateServer::Finish(); }

protected:
    void SetUp() override {
        DeviceWindowFixture::SetUp();
        AddClass("M", 3);
        for (const char* bib : {"0011", "0012", "0013"})
            AddCompetitor(bib, "M", "10:00:00.0000");
        OpenWindow();
        ASSERT_TRUE(PrivateServer::Run("stop"));
    }
    void TearDown() override {
        stampDiskFull = false;
        DeviceWindowFixture::TearDown();
    }

    void ServerBack() {
        ASSERT_TRUE(PrivateServer::Run("start"));
        db.Reconnect();
    }
    void TypeBibWhenHeadIs(const QString& bib, const QString& time) {
        ASSERT_TRUE(Eventually([&] { return Control<QLineEdit>("Ed1")->text() == time; }))
            << qPrintable(PanelTexts().join(' '));
        TypeBib(Control<QLineEdit>("Edit5"), bib);
    }
    bool AllSent() const {
        return Eventually([&] { return window->UnsentCount() == 0; }, 20000);
    }
    QString Split1(const QString& zek) {
        return db.Scalar("select midfin1 from result where zek = '" + zek + "'");
    }
};

TEST_F(StampsThroughOutage, AStoredOnlyStampIsNeverOfferedAndTheNextBibTakesTheNextTime) {
    Send(StampLine(" ", 1, "C1", "10:20:00.0000") + StampLine("c", 2, "C1", "10:20:30.0000") +
         StampLine(" ", 3, "C1", "10:21:00.0000"));
    ASSERT_TRUE(Eventually([&] { return UnsavedText() == "未保存 3 件"; }));
    EXPECT_FALSE(PanelTexts().contains("10:20:30.0000")) << qPrintable(PanelTexts().join(' '));
    // Runners 0011 and 0012 pass with the first and the third stamp.
    TypeBib(Control<QLineEdit>("Edit5"), "11");
    EXPECT_FALSE(PanelTexts().contains("10:20:30.0000")) << qPrintable(PanelTexts().join(' '));
    TypeBib(Control<QLineEdit>("Edit5"), "12");

    ServerBack();
    EXPECT_TRUE(AllSent());
    EXPECT_EQ(Split1("0011"), "10:20:00.0000");
    EXPECT_EQ(Split1("0012"), "10:21:00.0000");
    EXPECT_EQ(db.Rows("select tstat, tm, sumi from tdc_mid order by tm"),
              QList<QStringList>({{" ", "10:20:00.0000", "1"},
                                  {"c", "10:20:30.0000", "0"},
                                  {" ", "10:21:00.0000", "1"}}));
    // Nor does the server's list offer it.
    EXPECT_TRUE(Eventually([&] { return PanelTexts().join(QString()).isEmpty(); }))
        << qPrintable(PanelTexts().join(' '));
}

TEST_F(StampsThroughOutage, HeldStampsReachTheJournalOnceItHasRoomAndALostOneHoldsUpNoBib) {
    stampJournalPath = JournalPath().toStdString();
    stampDiskFull = true;
    Send(StampLine(" ", 1, "C1", "10:20:00.0000"));
    ASSERT_TRUE(Eventually([&] { return PanelTexts().contains("10:20:00.0000"); }));
    EXPECT_FALSE(JournalText().contains("10:20:00.0000"));
    stampDiskFull = false;
    // No other stamp comes to carry it there.
    EXPECT_TRUE(Eventually([&] { return JournalText().contains("10:20:00.0000"); }));

    stampDiskFull = true;
    Send(StampLine(" ", 2, "C1", "10:21:00.0000"));
    ASSERT_TRUE(Eventually([&] { return PanelTexts().contains("10:21:00.0000"); }));
    TypeBibWhenHeadIs("11", "10:20:00.0000");
    TypeBibWhenHeadIs("12", "10:21:00.0000");
    // The program ends while the disk is still full: the second stamp, held in memory only,
    // goes with it; both bibs are in the action journal.
    window.reset();
    ASSERT_FALSE(JournalText().contains("10:21:00.0000"));
    dm.reset();
    stampDiskFull = false;
    ServerBack();
    dm = std::make_unique<TDm1>(nullptr, db.Name());
    OpenWindow();

    Send(StampLine(" ", 3, "C1", "10:22:00.0000"));
    TypeBibWhenHeadIs("13", "10:22:00.0000");
    EXPECT_TRUE(AllSent());
    EXPECT_EQ(Split1("0011"), "10:20:00.0000");
    EXPECT_EQ(Split1("0012"), "");
    EXPECT_EQ(Split1("0013"), "10:22:00.0000");
    const QStringList told = Control<AttentionList>("AttentionList")->Lines();
    EXPECT_TRUE(std::any_of(told.begin(), told.end(),
                            [](const QString& line) {
                                return line.contains("  0012  ") && line.contains("10:21:00");
                            }))
        << qPrintable(told.join('\n'));
}

} // namespace

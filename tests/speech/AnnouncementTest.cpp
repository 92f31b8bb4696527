#include "speech/AnnouncementQueue.h"
#include "speech/Announcements.h"

#include <QThread>
#include <gtest/gtest.h>

TEST(Announcements, SplitsAndLegFinishesInCounters) {
    EXPECT_EQ((SplitAnnouncement{QStringLiteral("0012"), 1, QStringLiteral("   12:34.5")}.text()),
              QStringLiteral("12番 中間1 12分34秒5"));
    EXPECT_EQ((SplitAnnouncement{QStringLiteral("0305"), 3, QStringLiteral("  1:05:03.0")}.text()),
              QStringLiteral("305番 中間3 1時間5分3秒0"));
    EXPECT_EQ((SplitAnnouncement{QStringLiteral("0000"), 2, QStringLiteral("      9.1")}.text()),
              QStringLiteral("0番 中間2 9秒1"));
    // A zero field is not said after a larger one; a whole hour or minute is ちょうど.
    EXPECT_EQ((SplitAnnouncement{QStringLiteral("0012"), 2, QStringLiteral("  1:00:04.5")}.text()),
              QStringLiteral("12番 中間2 1時間4秒5"));
    EXPECT_EQ((SplitAnnouncement{QStringLiteral("0012"), 2, QStringLiteral("  1:00:00.0")}.text()),
              QStringLiteral("12番 中間2 1時間ちょうど"));
    EXPECT_EQ((SplitAnnouncement{QStringLiteral("0012"), 2, QStringLiteral("    12:00.0")}.text()),
              QStringLiteral("12番 中間2 12分ちょうど"));
    EXPECT_EQ((SplitAnnouncement{QStringLiteral("0012"), 2, QStringLiteral("    00:04.5")}.text()),
              QStringLiteral("12番 中間2 4秒5"));
    // Not a running time: said as it is rather than lost.
    EXPECT_EQ((SplitAnnouncement{QStringLiteral("0012"), 1, QStringLiteral(" ")}.text()),
              QStringLiteral("12番 中間1 "));

    const LegFinishAnnouncement firstLeg{QStringLiteral("0012"), 1, 4,
                                         QStringLiteral("     15:30.1"),
                                         QStringLiteral("     15:30.1")};
    EXPECT_EQ(firstLeg.text(), QStringLiteral("12番 1走 15分30秒1"));
    const LegFinishAnnouncement lastLeg{QStringLiteral("0012"), 4, 4,
                                        QStringLiteral("     16:02.3"),
                                        QStringLiteral("  1:02:03.4")};
    EXPECT_EQ(lastLeg.text(), QStringLiteral("12番 ゴール 1時間2分3秒4"));
}

TEST(AnnouncementQueue, KeepsOrderDropsStaleTextsForTheNewestAndNeverRepeats) {
    AnnouncementQueue queue;
    queue.push(QStringLiteral("a"));
    queue.push(QStringLiteral("b"));
    queue.push(QStringLiteral("a"));
    EXPECT_EQ(queue.texts(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(queue.takeNext(), QStringLiteral("a"));
    // Taken out, the same text may be queued again as a new announcement.
    queue.push(QStringLiteral("a"));
    EXPECT_EQ(queue.texts(), (QStringList{QStringLiteral("b"), QStringLiteral("a")}));

    AnnouncementQueue behind(50);
    behind.push(QStringLiteral("old 1"));
    behind.push(QStringLiteral("old 2"));
    QThread::msleep(80);
    EXPECT_EQ(behind.takeNext(), QStringLiteral("old 2"));
    EXPECT_TRUE(behind.isEmpty());
    behind.push(QStringLiteral("old 3"));
    QThread::msleep(80);
    behind.push(QStringLiteral("new"));
    EXPECT_EQ(behind.takeNext(), QStringLiteral("new"));
    EXPECT_TRUE(behind.isEmpty());
}

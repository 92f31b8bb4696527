// The panel as this workstation sees it: the server's last answer, less what its own unsent
// actions took, plus its own stamps the server's answer cannot hold yet.
#include "timing/session/PendingView.h"
#include "timing/session/StampsAheadOfLists.h"

#include <gtest/gtest.h>

namespace {

StampRef Journal(const char* jid, const char* time) {
    return {0, jid, time};
}
PendingStamp Server(qint64 id, const char* jid, const char* time) {
    return {{id, jid, time}, 30};
}

QStringList Times(const PendingList& list) {
    QStringList times;
    for (const PendingStamp& row : list.times)
        times << row.stamp.time;
    return times;
}

// A stamp stored after the read on screen was asked for stays on the panel, after the
// server's and before the journal's, until a read asked for after its storing comes; one taken
// by this workstation's own action leaves at once.
TEST(PendingView, AStampStoredSinceTheLastReadStaysInItsPlaceUntilAReadHoldsIt) {
    StampsAheadOfLists recent;
    PendingSnapshot snapshot{{Server(1, "a", "10:00:01")}, 1, {}, {}};
    snapshot.unstored = recent.Update({Journal("b", "10:00:02"), Journal("c", "10:00:03")}, 1);
    EXPECT_EQ(Times(BuildPending(snapshot, {})), QStringList({"10:00:01", "10:00:02", "10:00:03"}));

    // b is stored; the read that holds it is the next one asked for, number 1.
    snapshot.unstored = recent.Update({Journal("c", "10:00:03")}, 1);
    PendingList shown = BuildPending(snapshot, {});
    EXPECT_EQ(Times(shown), QStringList({"10:00:01", "10:00:02", "10:00:03"}));
    EXPECT_EQ(shown.count, 3);
    EXPECT_EQ(Times(BuildPending(snapshot, {{0, "b", "10:00:02"}})),
              QStringList({"10:00:01", "10:00:03"}));

    // An answer to an older request does not hold b: it stays.
    recent.ListsRead(0);
    snapshot.unstored = recent.Update({Journal("c", "10:00:03")}, 2);
    EXPECT_EQ(BuildPending(snapshot, {}).count, 3);

    // The read holds b, which another workstation took meanwhile: it is gone from the panel.
    recent.ListsRead(1);
    snapshot.server = {Server(1, "a", "10:00:01")};
    snapshot.unstored = recent.Update({Journal("c", "10:00:03")}, 2);
    EXPECT_EQ(Times(BuildPending(snapshot, {})), QStringList({"10:00:01", "10:00:03"}));
}

// A stamp this workstation's action took stays off the panel after the server has the action
// and until a read asked for after that: the last read still lists it as waiting.
TEST(PendingView, AStampTakenStaysOffThePanelUntilAReadSeesItTaken) {
    StampsAheadOfLists taken;
    const PendingSnapshot snapshot{{Server(1, "a", "10:00:01"), Server(2, "b", "10:00:02")}, 2, {}, {}};
    EXPECT_EQ(Times(BuildPending(snapshot, taken.Update({{1, "a", "10:00:01"}}, 4))),
              QStringList({"10:00:02"}));
    EXPECT_EQ(Times(BuildPending(snapshot, taken.Update({}, 4))), QStringList({"10:00:02"}));
    taken.ListsRead(3);
    EXPECT_EQ(BuildPending(snapshot, taken.Update({}, 4)).count, 1);
    taken.ListsRead(4);
    EXPECT_EQ(BuildPending(snapshot, taken.Update({}, 5)).count, 2);
}

// Stamps the server holds beyond the rows read: the journal's are counted but not offered, as
// their turn is unknown.
TEST(PendingView, TheJournalsStampsWaitBehindServerRowsNotRead) {
    StampsAheadOfLists recent;
    PendingSnapshot snapshot{{Server(1, "a", "10:00:01")}, 5, {}, {}};
    snapshot.unstored = recent.Update({Journal("b", "10:00:02")}, 1);
    const PendingList shown = BuildPending(snapshot, {{1, "a", "10:00:01"}});
    EXPECT_TRUE(shown.times.empty());
    EXPECT_EQ(shown.count, 5);
}

} // namespace

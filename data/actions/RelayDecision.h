#pragma once
// The relay page's decisions and writes. One key press is one transaction: the finish of the
// team's running leg, the start of its next leg, the team's time and letter, the change
// marker and the use of the device time commit together or not at all, and only while every
// row of the team the decision read is still as it was read.

#include "data/actions/ActionRequest.h"
#include "data/actions/PendingTimeMark.h"
#include "data/rules/RelayLegs.h"

#include <QString>
#include <QStringList>
#include <vector>

// A relay team as the one read of a key press finds it.
struct RelayTeam {
    QString bib;
    bool registered = false; // the race has relay rows of this bib
    QString start;           // leg 1's start: the team's start
    int legs = 0;            // RELAYN of the team's class; 0 when the class has none
    // Legs 1 .. legs by number, at most the page's limit; a leg without a row is empty.
    std::vector<RelayLeg> timed;
    QString statement; // the read, as the operator reads it
    QString teamClass;
};

// One key press of the relay page.
struct RelayEntry {
    QString bib;             // four digits
    QString time;            // the pending device time at the key press
    QString minimumMinutes;  // the minimum-time box's text
    bool lastLegToo = false; // "最終走者も処理"
    StampRef stamp;          // the stamp itself when named; otherwise those of that time
    int exchange = 0;        // the exchange the workstation stands at; 0 when not said
};

// What a key press did. Refused: `refusal` is what the operator is told; nothing was written
// for the team. Recorded: the leg, its time and the team's.
struct RelayOutcome {
    bool recorded = false;
    QString refusal;
    QString statement; // the team read, as the operator reads it
    QStringList log;   // the time, the leg's start and their difference
    int leg = 0;
    int legs = 0;
    QString legTime;
    QString teamTime;
    QString teamLetter;
    bool forcedTeam = false;        // a leg of the team was started by force
    // The next leg was started by force before this late runner arrived: its start stays.
    bool keepsNextStart = false;
};

class CapturedWrites;
class RowWrites;

// The read of one team's rows, as a key press reads it.
QStringList TeamReadLines(const QString& bib);

// The decision on a key press from what is known of the team, without a statement: the
// running leg, the times and the letter, or why not. A team started by force is timed by
// the sum of its legs (see ForcedStarts.h).
RelayOutcome DecideRelayFinish(const RelayTeam& team, const RelayEntry& entry);

// The writes of a decided finish, in the caller's transaction: the leg while it still runs,
// the next leg's start, the team's time and letter, the change marker. Empty when written;
// otherwise what stood in the way.
QString WriteRelayFinish(RowWrites& writes, const ActionRequest& leg);
// The writes of a relay reset, in the caller's transaction; the marks of forced starts go
// with the starts they mark.
void WriteRelayReset(CapturedWrites& writes);
// The writes of a forced start: leg `leg` of each team starts at `start` while it has not
// started, is marked as started by force under the action's id, and the stamp is used up.
// Empty when written; otherwise what stood in the way (a team whose leg started meanwhile).
QString WriteForcedStart(RowWrites& writes, const QStringList& teams, int leg, const QString& start,
                         const StampRef& stamp, const QString& actionId);

// The action of a decided finish, carrying what the decision read (`Space`: the time stays
// pending for the dead heat's next team).
ActionRequest DecidedLeg(const RelayTeam& team, const RelayEntry& entry,
                             const RelayOutcome& decided, bool usesTime);
// The action as the history lists it: "2走  15:30.4  10:31:00.5000  チーム 31:00.5".
QString RelayLegActionText(const ActionRequest& leg);

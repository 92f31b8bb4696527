#pragma once
// The rules of one relay team's legs: which leg is running, whether the relay page may take
// its finish, the team's letter after it, and the time texts written for it.
//
// The page times classes of up to ten legs, as an ekiden has. A class with more legs is
// refused at every leg: the page could neither list nor finish its later legs.

#include <QString>
#include <vector>

constexpr int RelayTimedLegs = 10;

struct RelayLeg {
    QString start;
    QString finish;
    bool forcedStart = false; // started by force with the teams still out before it
};

// An empty text or the blank time mask "  :  :  .    " means the time is not set.
bool IsUnsetTime(const QString& time);

// The highest leg (1-based) that has a start and no finish; 0 when no leg is running.
int RunningLeg(const std::vector<RelayLeg>& legs);

// Whether the finish of `leg` may be recorded for a class of `legs` legs. The class's last
// leg is taken only when `lastLegToo` ("最終走者も処理") is ticked; no leg of a class of more
// legs than the page times.
bool MayFinishLeg(int leg, int legs, bool lastLegToo);

// The team's status after the finish of `leg`: "B" .. "E" for legs 1 .. 4, "F", "H", "I",
// "J", "K" for legs 5 .. 9 (never "G" before the end, which the suite reads as finished), "G"
// for the class's last leg.
QString TeamLetterAfterLeg(int leg, int legs);

// A running time cut after its tenths digit, leading blanks kept: "     15:30.123" gives
// "     15:30.1".
QString TenthsForm(const QString& runningTime);

// The next leg starts at the finish cut after its tenths digit, followed by "000".
QString NextLegStart(const QString& finish);

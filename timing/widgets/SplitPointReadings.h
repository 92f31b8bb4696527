#pragma once
// What the split point's own view says: the cut-off (関門) as the operator types it and as it
// counts down, the runners through and still expected, where one runner is. Plain values in,
// text out, so every case can be checked without a window.

#include "data/actions/SplitDecision.h"
#include "data/reads/ExchangeTeams.h"

#include <QString>
#include <QTime>
#include <optional>
#include <vector>

// A time of day typed in a box: "11:30" or "11:30:00", or empty for none.
struct CutOffEntry {
    bool accepted = false;
    QString stored;  // "HH:MM:SS", or empty for none
    QString refusal; // names the box and what was typed
};
// `box` names the box in the refusal: "中間2 の関門時刻".
CutOffEntry ReadClockEntry(const QString& typed, const QString& box);
// The cut-off typed for split point n.
CutOffEntry ReadCutOffEntry(const QString& typed, int split);

// "関門 11:30:00 まで 12分04秒", or "関門閉鎖 11:30:00" once it has passed; empty without one.
QString CutOffCountdown(const std::optional<QTime>& cutOff, QTime now);

// "中間2 通過 812 人 / 残り 40 人".
QString ThroughText(int split, int through, int expected);
// "通過チーム", then "中継1: 12  中継2: 9 ...": the relay page's teams through each exchange.
QString ExchangesText(const std::vector<int>& teamsThrough);
// Where a competitor is as this workstation knows it: each split passed, then the next.
QString WhereaboutsText(const QString& zek, const CompetitorSplits& competitor, int split);

// "中継2 通過 12 チーム / 未着 5 チーム".
QString ExchangeThroughText(int exchange, int through, int due);
// "次の到着予想 0034（2走）10:31:05.0": the first team of `due` expected at a known time.
QString NextExpectedText(const std::vector<ExchangeTeam>& due);
// What a forced start at the exchange would do now: its time counting down, or passed, then
// the teams it would start ("繰上スタート対象 2 チーム: 0034, 0035").
QString ForcedStartText(const std::optional<QTime>& at, QTime now, const QStringList& teams);

#pragma once
// The texts the timing window queues for speaking when it records a time: who passed, where,
// and in what time, with the time in the counters an announcer reads it with. Bibs are said
// without their leading zeros.

#include <QString>

// A split on the lap page: "0012", split 1, "   12:34.5" gives "12番 中間1 12分34秒5".
struct SplitAnnouncement {
    QString bib;
    int split = 0;
    QString splitTime; // the window's running-time text

    QString text() const;
};

// A leg finish on the relay page: "12番 1走 15分30秒1" with the leg's time; after the class's
// last leg "12番 ゴール 1時間2分3秒4" with the team's time, which is what the finish is about.
struct LegFinishAnnouncement {
    QString bib;
    int leg = 0;
    int legs = 0; // of the team's class
    QString legTime;
    QString teamTime;

    QString text() const;
};

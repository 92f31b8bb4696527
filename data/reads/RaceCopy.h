#pragma once
// The workstation's own copy of a race on the disk, so that a window opened while the server
// does not answer can time from it: what the key presses are decided from, the pending times
// as the panel showed them, and where the change list stood. One copy a data source,
// database and race; the pending times are a file of their own, written as often as the
// panel changes, the race less often (what a key press changed after it is kept by the action
// journal and checked by the server anyway).

#include "data/actions/PendingTimeMark.h"
#include "data/actions/StampColumns.h"
#include "data/reads/RaceCache.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

struct RaceCopy {
    QString raceCode;
    bool relay = false;
    QString caption;
    QDateTime read; // when the window last had the race from the server
    StampColumns stampColumns;
    bool changeListKept = true;
    qint64 changesSeen = 0;
    qint64 wholeChangeSeen = 0;
    RaceCache race;
};

struct PendingCopy {
    std::vector<StampRef> stamps; // in the order the key presses take them
    std::vector<qint64> ages;     // each stamp's age by the server's clock when written
    int count = 0;                // all pending times then
    QDateTime written;
};

QByteArray RaceCopyBytes(const RaceCopy& copy);
std::optional<RaceCopy> RaceCopyFromBytes(const QByteArray& bytes);
QByteArray PendingCopyBytes(const PendingCopy& copy);
std::optional<PendingCopy> PendingCopyFromBytes(const QByteArray& bytes);

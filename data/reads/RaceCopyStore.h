#pragma once
// Where a data source's race copies lie (<program folder>/copies/<source>/<race>.race and
// .pending), written on a thread of their own so that neither the panel nor a key press
// waits for the disk. A newer copy handed in while one is being written replaces the one
// waiting: only the newest reaches the disk. Each file is replaced whole (written beside it,
// then renamed), so a crash leaves the old copy or the new one, never half of one.

#include "data/reads/RaceCopy.h"

#include <QString>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

class RaceCopyStore {
public:
    // The copies of the source named as TDatabase::SourceName gives it.
    explicit RaceCopyStore(const QString& sourceName);
    // Writes what is still waiting.
    ~RaceCopyStore();

    void KeepRace(RaceCopy copy);
    void KeepPending(const QString& raceCode, PendingCopy copy);
    // Why the last write failed; empty once one succeeds.
    QString Problem() const;

    // The copy of the race written last for the source, with its pending times (none when
    // their file is missing or unreadable).
    struct Found {
        RaceCopy race;
        PendingCopy pending;
    };
    static std::optional<Found> Newest(const QString& sourceName);

private:
    void WriteWaiting();
    bool Write(const QString& fileName, const QByteArray& bytes);

    QString folder_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<RaceCopy> race_;
    std::optional<std::pair<QString, PendingCopy>> pending_;
    bool ending_ = false;
    QString problem_;
    std::thread writer_;
};

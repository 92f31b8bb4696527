#include "data/reads/RaceCopyStore.h"

#include "common/JournalLock.h"
#include "common/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString RaceSuffix = QStringLiteral(".race");
const QString PendingSuffix = QStringLiteral(".pending");

QString CopiesFolder(const QString& sourceName) {
    return ProgramDataPath(QStringLiteral("copies")) + QLatin1Char('/') +
           JournalBaseName(QStringLiteral("race"), sourceName);
}

QString FileBase(const QString& raceCode) {
    return QString::fromLatin1(raceCode.toUtf8().toPercentEncoding());
}

QByteArray ReadWhole(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

RaceCopyStore::RaceCopyStore(const QString& sourceName)
    : folder_(CopiesFolder(sourceName)), writer_([this] { WriteWaiting(); }) {}

RaceCopyStore::~RaceCopyStore() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_one();
    writer_.join();
}

void RaceCopyStore::KeepRace(RaceCopy copy) {
    {
        std::lock_guard lock(mutex_);
        race_ = std::move(copy);
    }
    wake_.notify_one();
}

void RaceCopyStore::KeepPending(const QString& raceCode, PendingCopy copy) {
    {
        std::lock_guard lock(mutex_);
        pending_.emplace(raceCode, std::move(copy));
    }
    wake_.notify_one();
}

QString RaceCopyStore::Problem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

void RaceCopyStore::WriteWaiting() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return ending_ || race_ || pending_; });
        if (!race_ && !pending_)
            return; // ending, and nothing left to write
        std::optional<RaceCopy> race = std::exchange(race_, std::nullopt);
        std::optional<std::pair<QString, PendingCopy>> pending =
            std::exchange(pending_, std::nullopt);
        lock.unlock();
        // The bytes are made here, off the window's thread: the race shares its data with
        // the window's copy until the window changes it.
        bool written = true;
        if (race)
            written = Write(FileBase(race->raceCode) + RaceSuffix, RaceCopyBytes(*race));
        if (pending)
            written = Write(FileBase(pending->first) + PendingSuffix,
                            PendingCopyBytes(pending->second)) &&
                      written;
        lock.lock();
        if (written)
            problem_.clear();
    }
}

bool RaceCopyStore::Write(const QString& fileName, const QByteArray& bytes) {
    // The race's rows are the user's alone, as the journals are.
    QDir().mkpath(folder_);
    for (const QString& folder : {QFileInfo(folder_).path(), folder_})
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    QSaveFile file(folder_ + QLatin1Char('/') + fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    std::lock_guard lock(mutex_);
    problem_ = QStringLiteral("レースの控えを書けません: %1（%2）")
                   .arg(file.fileName(), file.errorString());
    return false;
}

std::optional<RaceCopyStore::Found> RaceCopyStore::Newest(const QString& sourceName) {
    const QFileInfoList races =
        QDir(CopiesFolder(sourceName))
            .entryInfoList({QStringLiteral("*") + RaceSuffix}, QDir::Files, QDir::Time);
    for (const QFileInfo& file : races) {
        std::optional<RaceCopy> race = RaceCopyFromBytes(ReadWhole(file.filePath()));
        if (!race)
            continue; // a copy this program cannot read is passed over for an older one
        const QString pendingPath =
            file.path() + QLatin1Char('/') + file.completeBaseName() + PendingSuffix;
        return Found{std::move(*race),
                     PendingCopyFromBytes(ReadWhole(pendingPath)).value_or(PendingCopy{})};
    }
    return std::nullopt;
}

#include "device/StampJournalLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString JournalBaseName(const QString& sourceName) {
    const QByteArray safe = sourceName.toUtf8().toPercentEncoding();
    return QStringLiteral("stamps-") + QString::fromLatin1(safe);
}

StampJournalLock::StampJournalLock(const QString& folder, const QString& sourceName) {
    const QString base = folder + QLatin1Char('/') + JournalBaseName(sourceName);
    for (int slot = 1; slot <= Slots; ++slot) {
        const QString suffix = slot == 1 ? QString() : QStringLiteral("-%1").arg(slot);
        if (TryLock(base + suffix + QStringLiteral(".journal")))
            return;
    }
    if (problem_.isEmpty())
        problem_ = QStringLiteral("%1 本のプログラムがこのデータベースのタイムを保存中です。"
                                  "タイムデータは取り込めません: %2")
                       .arg(Slots)
                       .arg(base);
}

StampJournalLock::~StampJournalLock() {
    // Closing the descriptor releases the lock; the lock file stays for the next program.
    if (fd_ >= 0)
        ::close(fd_);
}

bool StampJournalLock::TryLock(const QString& journalPath) {
    // The lock is on a file of its own: the journal itself is replaced by renames.
    const QByteArray lockPath = (journalPath + QStringLiteral(".lock")).toLocal8Bit();
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        problem_ = QString::fromLocal8Bit(lockPath) + QStringLiteral(": ") +
                   QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    journalPath_ = journalPath;
    problem_.clear();
    return true;
}

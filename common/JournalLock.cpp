#include "common/JournalLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString JournalBaseName(const QString& kind, const QString& sourceName) {
    const QByteArray safe = sourceName.toUtf8().toPercentEncoding();
    return kind + QLatin1Char('-') + QString::fromLatin1(safe);
}

JournalLock::JournalLock(const QString& folder, const QString& kind, const QString& sourceName) {
    const QString base = folder + QLatin1Char('/') + JournalBaseName(kind, sourceName);
    for (int slot = 1; slot <= Slots; ++slot) {
        const QString suffix = slot == 1 ? QString() : QStringLiteral("-%1").arg(slot);
        if (TryLock(base + suffix + QStringLiteral(".journal")))
            return;
    }
    if (problem_.isEmpty())
        problem_ = QStringLiteral("%1 本のプログラムがこのデータベースの記録を保存中です。"
                                  "記録を保存する日誌を開けません: %2")
                       .arg(Slots)
                       .arg(base);
}

JournalLock::~JournalLock() {
    // Closing the descriptor releases the lock; the lock file stays for the next program.
    if (fd_ >= 0)
        ::close(fd_);
}

bool JournalLock::TryLock(const QString& journalPath) {
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

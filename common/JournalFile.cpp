#include "common/JournalFile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QByteArray JsonLine(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

bool WriteAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

// A renamed or newly made file is only found after a crash once its folder is on the disk.
bool SyncFolderOf(const QByteArray& path) {
    const QByteArray folder = QFileInfo(QString::fromLocal8Bit(path)).absolutePath().toLocal8Bit();
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

JournalFile::JournalFile(const QString& path, SyncFile sync)
    : path_(path.toLocal8Bit()), sync_(sync) {
    readable_ = !path_.isEmpty() && Read();
}

JournalFile::~JournalFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool JournalFile::Read() {
    QFile file(QString::fromLocal8Bit(path_));
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("read ") + file.fileName());
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        // A line without its end was cut short by a crash: what it held was never acted on.
        if (!line.endsWith('\n'))
            break;
        const QJsonDocument document = QJsonDocument::fromJson(line);
        if (document.isObject())
            found_.push_back(document.object());
    }
    return true;
}

bool JournalFile::Append(const QJsonObject& object, bool toDisk) {
    if (broken_)
        return false;
    if (!WriteAll(fd_, JsonLine(object)) || (toDisk && sync_(fd_) != 0))
        return Fail(QStringLiteral("write ") + Path());
    return true;
}

bool JournalFile::Rewrite(const std::vector<QJsonObject>& objects) {
    if (!readable_) {
        if (problem_.isEmpty())
            problem_ = QStringLiteral("no journal file");
        return false;
    }
    // A name of this process's own: another process opening the same journal at the same
    // moment never writes into this fresh file.
    const QByteArray fresh = path_ + ".new." + QByteArray::number(::getpid());
    const int fd = ::open(fresh.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return Fail(QStringLiteral("open ") + QString::fromLocal8Bit(fresh));
    QByteArray text;
    for (const QJsonObject& object : objects)
        text += JsonLine(object);
    const bool written = WriteAll(fd, text) && sync_(fd) == 0;
    ::close(fd);
    if (!written || ::rename(fresh.constData(), path_.constData()) != 0) {
        const bool failed = Fail(QStringLiteral("write ") + QString::fromLocal8Bit(fresh));
        ::unlink(fresh.constData());
        return failed;
    }
    if (!SyncFolderOf(path_))
        return Fail(QStringLiteral("sync the folder of ") + Path());
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = ::open(path_.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd_ < 0)
        return Fail(QStringLiteral("open ") + Path());
    broken_ = false;
    problem_.clear();
    return true;
}

bool JournalFile::Empty() {
    if (broken_)
        return Rewrite({});
    if (::ftruncate(fd_, 0) != 0)
        return Fail(QStringLiteral("truncate ") + Path());
    return true;
}

bool JournalFile::Fail(const QString& what) {
    problem_ = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    broken_ = true;
    return false;
}

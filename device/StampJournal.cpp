#include "device/StampJournal.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString RecordKey = QStringLiteral("a");
const QString RaceKey = QStringLiteral("t");
const QString TextKey = QStringLiteral("r");
const QString StoredKey = QStringLiteral("s");

QByteArray JsonLine(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray EntryLine(const StampJournal::Entry& entry) {
    return JsonLine({{RecordKey, entry.id}, {RaceKey, entry.raceCode}, {TextKey, entry.record}});
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

int OpenForAppending(const QByteArray& path) {
    return ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
}

} // namespace

StampJournal::StampJournal(const QString& path, SyncFile sync)
    : path_(path.toLocal8Bit()), sync_(sync) {
    if (path_.isEmpty()) {
        readable_ = false;
        broken_ = true;
        return;
    }
    // A file that cannot be read is never written over: it may hold records of its own.
    readable_ = ReadFile();
    Rewrite();
}

StampJournal::~StampJournal() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool StampJournal::ReadFile() {
    QFile file(QString::fromLocal8Bit(path_));
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("read ") + file.fileName());
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        // A line without its end was cut short by a crash: it never reached the database.
        if (!line.endsWith('\n'))
            break;
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (object.contains(StoredKey)) {
            const QString id = object.value(StoredKey).toString();
            std::erase_if(waiting_, [&](const Entry& entry) { return entry.id == id; });
        } else if (object.contains(RecordKey)) {
            waiting_.push_back({object.value(RecordKey).toString(),
                                object.value(RaceKey).toString(),
                                object.value(TextKey).toString()});
        }
    }
    return true;
}

bool StampJournal::Append(const QString& raceCode, const QString& record) {
    waiting_.push_back({QUuid::createUuid().toString(QUuid::WithoutBraces), raceCode, record});
    if (broken_)
        return Rewrite();
    return WriteLine(EntryLine(waiting_.back()), true);
}

void StampJournal::RemoveOldest() {
    const QString id = waiting_.front().id;
    waiting_.pop_front();
    if (broken_) {
        Rewrite();
        return;
    }
    if (waiting_.empty()) {
        // Nothing waits: the file starts again empty. Should a crash undo this, the stored
        // notes are still there (and a record found again is refused as stored already).
        if (::ftruncate(fd_, 0) != 0)
            Fail(QStringLiteral("truncate ") + QString::fromLocal8Bit(path_));
        return;
    }
    // Not forced to the disk: a note lost in a crash only makes the database refuse the
    // record once more as a duplicate.
    WriteLine(JsonLine({{StoredKey, id}}), false);
}

bool StampJournal::Rewrite() {
    if (!readable_)
        return false;
    // A name of this process's own: another process opening the same journal at the same
    // moment never writes into this fresh file.
    const QByteArray fresh = path_ + ".new." + QByteArray::number(::getpid());
    const int fd = ::open(fresh.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return Fail(QStringLiteral("open ") + QString::fromLocal8Bit(fresh));
    QByteArray text;
    for (const Entry& entry : waiting_)
        text += EntryLine(entry);
    const bool written = WriteAll(fd, text) && sync_(fd) == 0;
    ::close(fd);
    if (!written || ::rename(fresh.constData(), path_.constData()) != 0) {
        const bool failed = Fail(QStringLiteral("write ") + QString::fromLocal8Bit(fresh));
        ::unlink(fresh.constData());
        return failed;
    }
    if (!SyncFolderOf(path_))
        return Fail(QStringLiteral("sync the folder of ") + QString::fromLocal8Bit(path_));
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = OpenForAppending(path_);
    if (fd_ < 0)
        return Fail(QStringLiteral("open ") + QString::fromLocal8Bit(path_));
    broken_ = false;
    problem_.clear();
    return true;
}

bool StampJournal::WriteLine(const QByteArray& line, bool toDisk) {
    if (!WriteAll(fd_, line) || (toDisk && sync_(fd_) != 0))
        return Fail(QStringLiteral("write ") + QString::fromLocal8Bit(path_));
    return true;
}

bool StampJournal::Fail(const QString& what) {
    problem_ = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    broken_ = true;
    return false;
}

#pragma once
// A journal file: one JSON object a line, appended and, when it matters, forced to the disk
// before the caller goes on, so what it holds outlives a crash of the program or the machine.
// A line cut short by a crash is left out when the file is read. After a failed write the
// file may end in half a line, so the next change rewrites it whole: a fresh file, forced to
// the disk and renamed over the old one. A file that could not be read is never written over:
// it may hold what nothing else does.

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <unistd.h>
#include <vector>

class JournalFile {
public:
    // How a written line is forced to the disk: fdatasync, or a test's own that watches it.
    using SyncFile = int (*)(int fd);

    // Reads what the file holds (made when missing on the first write). Without a path
    // nothing is kept on the disk and every write fails.
    explicit JournalFile(const QString& path, SyncFile sync = ::fdatasync);
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // The objects the file held when opened, oldest first; handed over once.
    std::vector<QJsonObject> TakeFound() { return std::move(found_); }

    // Adds a line; true when it is in the file (and on the disk when asked). Fails while the
    // file needs rewriting.
    bool Append(const QJsonObject& object, bool toDisk);
    // Replaces the whole file by these lines, forced to the disk.
    bool Rewrite(const std::vector<QJsonObject>& objects);
    // Empties the file.
    bool Empty();

    // The last write failed, or the file was never written: only Rewrite mends it.
    bool NeedsRewrite() const { return broken_; }
    // The last failure of the file, empty while it works.
    QString Problem() const { return problem_; }
    QString Path() const { return QString::fromLocal8Bit(path_); }

private:
    bool Read();
    bool Fail(const QString& what);

    QByteArray path_;
    SyncFile sync_;
    int fd_ = -1;
    bool broken_ = true;
    bool readable_ = true;
    std::vector<QJsonObject> found_;
    QString problem_;
};

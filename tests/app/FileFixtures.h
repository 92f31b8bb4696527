#pragma once
// Files for the configuration tests: their text, a working directory of the test's own, and
// a disk that fills up on demand.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <csignal>
#include <sys/resource.h>

inline void WriteFileText(const QString& path, const QByteArray& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        throw std::runtime_error("cannot prepare " + path.toStdString());
}

inline QByteArray FileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The process works in another directory for the life of the object.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const QString& path) : saved_(QDir::currentPath()) {
        if (!QDir::setCurrent(path))
            throw std::runtime_error("cannot enter " + path.toStdString());
    }
    ~WorkingDirectory() { QDir::setCurrent(saved_); }

private:
    QString saved_;
};

// Files written by this process cannot grow past `bytes`: a full disk for write tests that
// must fail even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        // The limit is reported by a signal that would end the process; the write's error
        // (EFBIG) is what the code under test must see.
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

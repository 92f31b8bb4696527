#pragma once
// The lists a window shows (the pending times, the split list, the passing log, the device
// times), read on a thread of their own with a connection of their own, so that a server that
// is slow or far away never holds up the window. Requests that come while a read is under way
// are one more read: the lists show the newest state, not every state.
// The reader lives in its thread; the window talks to ListReading.

#include "data/sql/TDatabase.h"
#include "data/sql/TQuery.h"

#include <QObject>
#include <QThread>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// One list: its statement, the rows fetched at a time (0 for all) and, for a list scrolled
// past its first window, the order values of the last row it holds (TQuery::HeldThrough).
struct ListRead {
    QString name;
    QStringList lines;
    int window = 0;
    QStringList through = {};
};
// The list a query shows, read again as it holds it.
ListRead ReadAgain(const QString& name, const TQuery& query);
using ListSnapshots = std::map<QString, ListSnapshot>;

class ListReader : public QObject {
    Q_OBJECT
public:
    explicit ListReader(const TDatabase::Source& source);
    ~ListReader() override;

    // Any thread: the lists to read next, as request number `request`; a request not yet
    // read gives way to this one.
    void Request(std::vector<ListRead> reads, int request);

signals:
    // The answer to every request up to `request`.
    void Ready(const ListSnapshots& snapshots, int request);
    void Failed(const QString& message, int request);

private:
    void ReadRequested();

    TDatabase::Source source_;
    std::unique_ptr<TDatabase> database_;
    std::mutex mutex_;
    std::optional<std::vector<ListRead>> requested_;
    int request_ = 0;
};

// The window's side: the reader's thread, and whether a read is under way.
class ListReading : public QObject {
    Q_OBJECT
public:
    ListReading(const TDatabase& database, QObject* parent = nullptr);
    // Waits for the read under way, which the time limits bound.
    ~ListReading() override;

    void Request(std::vector<ListRead> reads);
    // Requests not answered yet.
    bool Busy() const { return answered_ < requested_; }
    // The number the next request gets, and the last one answered.
    int NextRequest() const { return requested_ + 1; }
    int Answered() const { return answered_; }

signals:
    void Ready(const ListSnapshots& snapshots);
    void Failed(const QString& message);

private:
    QThread thread_;
    ListReader* reader_;
    int requested_ = 0;
    int answered_ = 0;
};

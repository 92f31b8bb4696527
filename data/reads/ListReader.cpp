#include "data/reads/ListReader.h"

#include "data/sql/DatabaseError.h"

ListRead ReadAgain(const QString& name, const TQuery& query) {
    return {name, query.SQL(), query.FetchWindow(), query.HeldThrough()};
}

ListReader::ListReader(const TDatabase::Source& source) : source_(source) {}

// The connection goes in the reader thread, where it was made.
ListReader::~ListReader() = default;

void ListReader::Request(std::vector<ListRead> reads, int request) {
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        wake = !requested_.has_value();
        requested_ = std::move(reads);
        request_ = request;
    }
    if (wake)
        QMetaObject::invokeMethod(this, &ListReader::ReadRequested, Qt::QueuedConnection);
}

void ListReader::ReadRequested() {
    std::vector<ListRead> reads;
    int request = 0;
    {
        const std::lock_guard lock(mutex_);
        if (!requested_)
            return;
        reads = std::move(*requested_);
        requested_.reset();
        request = request_;
    }
    try {
        if (!database_) {
            database_ = std::make_unique<TDatabase>();
            database_->UseSource(source_);
        }
        if (!database_->Connected())
            database_->Open();
        ListSnapshots snapshots;
        for (const ListRead& read : reads) {
            TQuery query(*database_, read.name);
            query.SetFetchWindow(read.window);
            query.SetSQL(read.lines);
            query.OpenThrough(read.through);
            snapshots.emplace(read.name, query.Snapshot());
        }
        emit Ready(snapshots, request);
    } catch (const DatabaseError& error) {
        emit Failed(error.message(), request);
    }
}

ListReading::ListReading(const TDatabase& database, QObject* parent)
    : QObject(parent), reader_(new ListReader(database.CurrentSource())) {
    qRegisterMetaType<ListSnapshots>("ListSnapshots");
    thread_.setObjectName(QStringLiteral("list reader"));
    reader_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, reader_, &QObject::deleteLater);
    // Each answer answers every request made before it was read.
    connect(reader_, &ListReader::Ready, this, [this](const ListSnapshots& snapshots, int request) {
        answered_ = request;
        emit Ready(snapshots);
    });
    connect(reader_, &ListReader::Failed, this, [this](const QString& message, int request) {
        answered_ = request;
        emit Failed(message);
    });
    thread_.start();
}

ListReading::~ListReading() {
    thread_.quit();
    thread_.wait();
}

void ListReading::Request(std::vector<ListRead> reads) {
    reader_->Request(std::move(reads), ++requested_);
}

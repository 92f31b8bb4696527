#include "device/StampStore.h"

#include "device/DeviceRecord.h"
#include "device/StampWriter.h"

StampStore::StampStore(const TDatabase& database, const QString& folder,
                       StampJournal::SyncFile sync, QObject* parent)
    : QObject(parent), lock_(folder, QStringLiteral("stamps"), database.SourceName()),
      journal_(std::make_shared<SharedJournal>(lock_.JournalPath(), sync)),
      writer_(new StampWriter(database.CurrentSource(), journal_)) {
    thread_.setObjectName(QStringLiteral("stamp writer"));
    writer_->moveToThread(&thread_);
    // The writer and its connection end in the thread that used them.
    connect(&thread_, &QThread::finished, writer_, &QObject::deleteLater);
    connect(writer_, &StampWriter::Reported, this, &StampStore::TakeReport);
    thread_.start();
    if (WaitingCount() > 0)
        writer_->Wake();
}

StampStore::~StampStore() {
    writer_->RequestStop();
    thread_.quit();
    thread_.wait();
}

void StampStore::Accept(const QString& raceCode, const QString& record) {
    // A record the disk did not take is still sent; Problem tells the operator.
    journal_->Append(raceCode, record);
    writer_->Wake();
    emit WaitingChanged();
}

void StampStore::TakeReport(const QString& problem, bool stored) {
    writerProblem_ = problem;
    emit WaitingChanged();
    if (!stored || storedPending_)
        return;
    storedPending_ = true;
    // Queued behind the reports already waiting, so they all end in this one.
    QMetaObject::invokeMethod(
        this,
        [this] {
            storedPending_ = false;
            emit Stored();
        },
        Qt::QueuedConnection);
}

std::vector<StampRef> StampStore::Unstored(const QString& raceCode) const {
    std::vector<StampRef> stamps;
    for (const StampJournal::Entry& entry : journal_->Waiting())
        if (entry.raceCode == raceCode && IsOfferedRecord(entry.record))
            stamps.push_back({0, entry.id, DeviceTimeOf(entry.record)});
    return stamps;
}

std::function<bool(const QString& jid)> StampStore::Holding() const {
    return [journal = journal_](const QString& jid) { return journal->Holds(jid); };
}

QString StampStore::JournalProblem() const {
    return lock_.Held() ? journal_->Problem() : lock_.Problem();
}

QString StampStore::Problem() const {
    return lock_.Held() ? writerProblem_ : lock_.Problem() + QLatin1Char('\n') + writerProblem_;
}

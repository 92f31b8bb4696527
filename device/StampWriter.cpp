#include "device/StampWriter.h"

#include "data/sql/DatabaseError.h"
#include "data/sql/RunStatement.h"
#include "data/sql/TQuery.h"
#include "device/DeviceRecord.h"

namespace {

// ER_DUP_ENTRY: the only unique key an insert can hit is the journal id.
const QString DuplicateKey = QStringLiteral("1062");
// ER_BAD_FIELD_ERROR
const QString UnknownColumn = QStringLiteral("1054");

} // namespace

StampWriter::StampWriter(const TDatabase::Source& source, std::shared_ptr<SharedJournal> journal)
    : source_(source), journal_(std::move(journal)), retry_(this) {
    retry_.setInterval(RetryMs);
    connect(&retry_, &QTimer::timeout, this, &StampWriter::StoreWaiting);
}

// The query before its connection; both go in the writer thread, where they were made.
StampWriter::~StampWriter() = default;

void StampWriter::Wake() {
    if (!wakePending_.exchange(true))
        QMetaObject::invokeMethod(this, &StampWriter::StoreWaiting, Qt::QueuedConnection);
}

void StampWriter::StoreWaiting() {
    wakePending_ = false;
    // Before the database, which may keep it waiting for its time limit.
    journal_->WriteHeld();
    bool stored = false;
    while (!stopping_) {
        const std::optional<StampJournal::Entry> oldest = journal_->Oldest();
        if (!oldest || !Insert(*oldest))
            break;
        journal_->RemoveOldest();
        stored = true;
        // Each row is reported as it lands: the panel shows it while later ones are sent.
        Report(true);
    }
    if (journal_->WaitingCount() == 0)
        retry_.stop();
    else if (!retry_.isActive())
        retry_.start();
    if (!stored)
        Report(false);
}

bool StampWriter::Insert(const StampJournal::Entry& entry) {
    try {
        if (!database_) {
            database_ = std::make_unique<TDatabase>();
            database_->UseSource(source_);
            insert_ = std::make_unique<TQuery>(*database_, QStringLiteral("StampInsert"));
        }
        if (!database_->Connected())
            database_->Open();
        RunStatement(*insert_, DeviceInsertLines(entry.raceCode, entry.record,
                                                 namesRows_ ? entry.id : QString()));
    } catch (const DatabaseError& error) {
        if (error.nativeCode() == UnknownColumn && namesRows_) {
            // A race database made without the journal-id column still takes every stamp,
            // though one whose insert had an unknown outcome may then be stored twice.
            namesRows_ = false;
            return Insert(entry);
        }
        // A duplicate is a record whose earlier insert did reach the database.
        if (error.nativeCode() != DuplicateKey) {
            databaseProblem_ = error.message();
            return false;
        }
    }
    databaseProblem_.clear();
    return true;
}

void StampWriter::Report(bool stored) {
    QStringList problems;
    for (const QString& problem : {databaseProblem_, journal_->Problem()})
        if (!problem.isEmpty())
            problems.append(problem);
    emit Reported(problems.join(QLatin1Char('\n')), stored);
}

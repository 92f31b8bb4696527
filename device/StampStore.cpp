#include "device/StampStore.h"

#include "data/DatabaseError.h"
#include "data/RunStatement.h"
#include "device/DeviceRecord.h"

namespace {

// ER_DUP_ENTRY: the only unique key an insert can hit is the journal id.
const QString DuplicateKey = QStringLiteral("1062");
// ER_BAD_FIELD_ERROR
const QString UnknownColumn = QStringLiteral("1054");

} // namespace

StampStore::StampStore(TQuery& insert, const QString& journalPath, QObject* parent)
    : QObject(parent), insert_(insert), journal_(journalPath) {
    retry_.setInterval(RetryMs);
    connect(&retry_, &QTimer::timeout, this, &StampStore::StoreWaiting);
    if (WaitingCount() > 0)
        QTimer::singleShot(0, this, &StampStore::StoreWaiting);
}

void StampStore::Accept(const QString& raceCode, const QString& record) {
    // A record the disk did not take is still sent; Problem tells the operator.
    journal_.Append(raceCode, record);
}

void StampStore::StoreWaiting() {
    const int before = WaitingCount();
    while (!journal_.Waiting().empty() && Insert(journal_.Waiting().front()))
        journal_.RemoveOldest();
    if (WaitingCount() == 0)
        retry_.stop();
    else if (!retry_.isActive())
        retry_.start();
    emit WaitingChanged();
    if (WaitingCount() < before)
        emit Stored();
}

bool StampStore::Insert(const StampJournal::Entry& entry) {
    try {
        RunStatement(insert_, DeviceInsertLines(entry.raceCode, entry.record,
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

QString StampStore::Problem() const {
    QStringList problems;
    for (const QString& problem : {databaseProblem_, journal_.Problem()})
        if (!problem.isEmpty())
            problems.append(problem);
    return problems.join(QLatin1Char('\n'));
}

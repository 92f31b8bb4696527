#include "device/StampJournal.h"

#include <QUuid>

namespace {

const QString RecordKey = QStringLiteral("a");
const QString RaceKey = QStringLiteral("t");
const QString TextKey = QStringLiteral("r");
const QString StoredKey = QStringLiteral("s");

QJsonObject EntryObject(const StampJournal::Entry& entry) {
    return {{RecordKey, entry.id}, {RaceKey, entry.raceCode}, {TextKey, entry.record}};
}

} // namespace

StampJournal::StampJournal(const QString& path, SyncFile sync) : file_(path, sync) {
    TakeUp(file_.TakeFound());
    if (!path.isEmpty())
        Rewrite();
}

void StampJournal::TakeUp(std::vector<QJsonObject> found) {
    for (const QJsonObject& object : found) {
        if (object.contains(StoredKey)) {
            const QString id = object.value(StoredKey).toString();
            std::erase_if(waiting_, [&](const Entry& entry) { return entry.id == id; });
        } else if (object.contains(RecordKey)) {
            waiting_.push_back({object.value(RecordKey).toString(),
                                object.value(RaceKey).toString(),
                                object.value(TextKey).toString()});
        }
    }
}

bool StampJournal::Append(const QString& raceCode, const QString& record) {
    waiting_.push_back({QUuid::createUuid().toString(QUuid::WithoutBraces), raceCode, record});
    if (file_.NeedsRewrite())
        return Rewrite();
    return file_.Append(EntryObject(waiting_.back()), true);
}

void StampJournal::RemoveOldest() {
    const QString id = waiting_.front().id;
    waiting_.pop_front();
    if (file_.NeedsRewrite()) {
        Rewrite();
        return;
    }
    if (waiting_.empty()) {
        // Nothing waits: the file starts again empty. Should a crash undo this, the stored
        // notes are still there (and a record found again is refused as stored already).
        file_.Empty();
        return;
    }
    // Not forced to the disk: a note lost in a crash only makes the database refuse the
    // record once more as a duplicate.
    file_.Append({{StoredKey, id}}, false);
}

void StampJournal::WriteHeld() {
    if (file_.NeedsRewrite())
        Rewrite();
}

bool StampJournal::Rewrite() {
    std::vector<QJsonObject> objects;
    for (const Entry& entry : waiting_)
        objects.push_back(EntryObject(entry));
    return file_.Rewrite(objects);
}

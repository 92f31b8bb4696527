#include "data/ActionJournal.h"

namespace {

const QString ActionKey = QStringLiteral("action");
const QString UndoneKey = QStringLiteral("undone");

} // namespace

ActionJournal::ActionJournal(const QString& path, JournalFile::SyncFile sync)
    : file_(path, sync) {
    TakeUp(file_.TakeFound());
    DropOldest();
    if (!path.isEmpty())
        Rewrite();
}

void ActionJournal::TakeUp(std::vector<QJsonObject> found) {
    for (const QJsonObject& object : found) {
        if (object.contains(ActionKey)) {
            actions_.push_back(ActionFromJson(object.value(ActionKey).toObject()));
        } else if (object.contains(UndoneKey)) {
            const QString id = object.value(UndoneKey).toString();
            for (OperatorAction& action : actions_)
                action.undone = action.undone || action.id == id;
        }
    }
}

bool ActionJournal::DropOldest() {
    int lap = 0;
    int relay = 0;
    for (const OperatorAction& action : actions_)
        ++(action.page == ActionPage::Relay ? relay : lap);
    bool dropped = false;
    for (auto it = actions_.begin(); it != actions_.end();) {
        int& count = it->page == ActionPage::Relay ? relay : lap;
        if (count > KeptPerPage) {
            --count;
            it = actions_.erase(it);
            dropped = true;
        } else {
            ++it;
        }
    }
    return dropped;
}

bool ActionJournal::Append(const OperatorAction& action) {
    actions_.push_back(action);
    // The file is written anew now and then, so it holds no more than the kept actions and
    // their undoing, twice over.
    if (DropOldest() && linesInFile_ > 4 * KeptPerPage)
        return Rewrite();
    if (file_.NeedsRewrite())
        return Rewrite();
    ++linesInFile_;
    return file_.Append({{ActionKey, ActionToJson(action)}}, true);
}

bool ActionJournal::MarkUndone(const QString& id) {
    for (OperatorAction& action : actions_)
        action.undone = action.undone || action.id == id;
    if (file_.NeedsRewrite())
        return Rewrite();
    ++linesInFile_;
    return file_.Append({{UndoneKey, id}}, true);
}

bool ActionJournal::Rewrite() {
    std::vector<QJsonObject> objects;
    for (const OperatorAction& action : actions_) {
        objects.push_back({{ActionKey, ActionToJson(action)}});
        if (action.undone)
            objects.push_back({{UndoneKey, action.id}});
    }
    linesInFile_ = static_cast<int>(objects.size());
    return file_.Rewrite(objects);
}

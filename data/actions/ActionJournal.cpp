#include "data/actions/ActionJournal.h"

#include <QJsonArray>

namespace {

const QString ActionKey = QStringLiteral("action");
const QString AppliedKey = QStringLiteral("applied");
const QString RowsKey = QStringLiteral("rows");
const QString RefusedKey = QStringLiteral("refused");
const QString WhyKey = QStringLiteral("why");
const QString UndoneKey = QStringLiteral("undone");
const QString DecidedKey = QStringLiteral("decided");
const QString WhatKey = QStringLiteral("what");

QJsonArray RowsToJson(const std::vector<RowChange>& changes) {
    QJsonArray rows;
    for (const RowChange& change : changes)
        rows.append(RowChangeToJson(change));
    return rows;
}

std::vector<RowChange> RowsFromJson(const QJsonValue& rows) {
    std::vector<RowChange> changes;
    for (const QJsonValue& change : rows.toArray())
        changes.push_back(RowChangeFromJson(change.toObject()));
    return changes;
}

bool IsWaiting(const OperatorAction& action) {
    return action.progress == OperatorAction::Progress::Waiting;
}

} // namespace

ActionJournal::ActionJournal(const QString& path, JournalFile::SyncFile sync)
    : file_(path, sync) {
    TakeUp(file_.TakeFound());
    DropOldest();
    if (!path.isEmpty())
        Rewrite();
}

OperatorAction* ActionJournal::Find(const QString& id) {
    for (auto it = actions_.rbegin(); it != actions_.rend(); ++it)
        if (it->id == id)
            return &*it;
    return nullptr;
}

void ActionJournal::TakeUp(std::vector<QJsonObject> found) {
    for (const QJsonObject& object : found) {
        if (object.contains(ActionKey)) {
            actions_.push_back(ActionFromJson(object.value(ActionKey).toObject()));
            continue;
        }
        const QString id = object.value(AppliedKey).toString(
            object.value(RefusedKey).toString(object.value(UndoneKey).toString()));
        OperatorAction* action = Find(id);
        if (!action)
            continue;
        if (object.contains(AppliedKey)) {
            action->progress = OperatorAction::Progress::Applied;
            action->changes = RowsFromJson(object.value(RowsKey));
            if (object.contains(DecidedKey)) {
                action->request = RequestFromJson(object.value(DecidedKey).toObject());
                action->what = object.value(WhatKey).toString();
            }
        } else if (object.contains(RefusedKey)) {
            action->progress = OperatorAction::Progress::Refused;
            action->refusal = object.value(WhyKey).toString();
            action->changes = RowsFromJson(object.value(RowsKey));
        } else {
            action->undone = true;
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
        // An action the database does not have yet is never dropped.
        if (count > KeptPerPage && !IsWaiting(*it)) {
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
    // what came of them, a few times over.
    if (DropOldest() && linesInFile_ > 6 * KeptPerPage)
        return Rewrite();
    return Write({{ActionKey, ActionToJson(action)}});
}

bool ActionJournal::MarkApplied(const QString& id, const std::vector<RowChange>& changes,
                                const std::optional<ActionRequest>& decided, const QString& what) {
    if (OperatorAction* action = Find(id)) {
        action->progress = OperatorAction::Progress::Applied;
        action->changes = changes;
        if (decided) {
            action->request = *decided;
            action->what = what;
        }
    }
    QJsonObject line = {{AppliedKey, id}, {RowsKey, RowsToJson(changes)}};
    if (decided) {
        line.insert(DecidedKey, RequestToJson(*decided));
        line.insert(WhatKey, what);
    }
    return Write(line);
}

bool ActionJournal::MarkRefused(const QString& id, const QString& why,
                                const std::vector<RowChange>& changes) {
    if (OperatorAction* action = Find(id)) {
        action->progress = OperatorAction::Progress::Refused;
        action->refusal = why;
        action->changes = changes;
    }
    return Write({{RefusedKey, id}, {WhyKey, why}, {RowsKey, RowsToJson(changes)}});
}

bool ActionJournal::MarkUndone(const QString& id) {
    if (OperatorAction* action = Find(id))
        action->undone = true;
    return Write({{UndoneKey, id}});
}

bool ActionJournal::Write(const QJsonObject& line) {
    if (file_.NeedsRewrite())
        return Rewrite();
    ++linesInFile_;
    return file_.Append(line, true);
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

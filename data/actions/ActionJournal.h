#pragma once
// The journal of this workstation's operator actions on one data source and database. An
// action is forced to the disk before it is sent to the database, and what came of it (the
// rows it changed, or why it was refused) and its undoing follow it, forced too: so an action
// typed while the database does not answer outlives a crash and a restart, and so do the
// history and the undo. The last actions of each page are kept, and every one still waiting;
// older ones are dropped when the file is next rewritten.
//
// The file holds one JSON object a line: {"action":{...}} for an action, {"applied":id,
// "rows":[...]} or {"refused":id,"why":...} for what came of it, {"undone":id} once it is
// taken back.

#include "common/JournalFile.h"
#include "data/actions/OperatorAction.h"

#include <deque>
#include <optional>

class ActionJournal {
public:
    // Actions of each page that stay undoable.
    static constexpr int KeptPerPage = 50;

    // Opens the journal file (made when missing) and takes up what it holds. Without a path,
    // or when the file fails, the actions are kept in memory; Problem says why.
    explicit ActionJournal(const QString& path, JournalFile::SyncFile sync = ::fdatasync);

    // True when the action is safely on the disk.
    bool Append(const OperatorAction& action);
    // `decided`: the action as the writer decided it again, with its text, when it differs.
    bool MarkApplied(const QString& id, const std::vector<RowChange>& changes,
                     const std::optional<ActionRequest>& decided = {}, const QString& what = {});
    // `changes`: what the writer did after the refusal (its stamp given back).
    bool MarkRefused(const QString& id, const QString& why,
                     const std::vector<RowChange>& changes = {});
    bool MarkUndone(const QString& id);

    // Oldest first.
    const std::deque<OperatorAction>& Actions() const { return actions_; }
    QString Problem() const { return file_.Problem(); }

private:
    void TakeUp(std::vector<QJsonObject> found);
    OperatorAction* Find(const QString& id);
    // The line, forced to the disk, or the whole file when it needs writing anew.
    bool Write(const QJsonObject& line);
    // Drops what is beyond the kept actions of each page; true when something was.
    bool DropOldest();
    bool Rewrite();

    JournalFile file_;
    std::deque<OperatorAction> actions_;
    int linesInFile_ = 0;
};

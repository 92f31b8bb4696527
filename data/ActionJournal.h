#pragma once
// The journal of this workstation's operator actions on one data source and database: each
// action, with every row it changed, is forced to the disk, and so is its undoing, so the
// history and the undo outlive a restart of the program. The last actions of each page are
// kept; older ones are dropped when the file is next rewritten.
//
// The file holds one JSON object a line: {"action":{...}} for an action and {"undone":id}
// once it is taken back.

#include "common/JournalFile.h"
#include "data/OperatorAction.h"

#include <deque>

class ActionJournal {
public:
    // Actions of each page that stay undoable.
    static constexpr int KeptPerPage = 50;

    // Opens the journal file (made when missing) and takes up what it holds. Without a path,
    // or when the file fails, the actions are kept in memory; Problem says why.
    explicit ActionJournal(const QString& path, JournalFile::SyncFile sync = ::fdatasync);

    // True when the action is safely on the disk.
    bool Append(const OperatorAction& action);
    bool MarkUndone(const QString& id);

    // Oldest first.
    const std::deque<OperatorAction>& Actions() const { return actions_; }
    QString Problem() const { return file_.Problem(); }

private:
    void TakeUp(std::vector<QJsonObject> found);
    // Drops what is beyond the kept actions of each page; true when something was.
    bool DropOldest();
    bool Rewrite();

    JournalFile file_;
    std::deque<OperatorAction> actions_;
    int linesInFile_ = 0;
};

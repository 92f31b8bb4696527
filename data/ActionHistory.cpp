#include "data/ActionHistory.h"

#include "common/uComm.h"
#include "data/ExecInfo.h"
#include "data/TDatabase.h"
#include "data/UndoChanges.h"

#include <QUuid>

ActionHistory::ActionHistory(TDatabase& database, const QString& folder,
                             JournalFile::SyncFile sync, QObject* parent)
    : QObject(parent), database_(database),
      lock_(folder, QStringLiteral("actions"), database.SourceName()),
      journal_(lock_.JournalPath(), sync) {}

void ActionHistory::Record(OperatorAction action) {
    action.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    action.at = QDateTime::currentDateTime();
    action.raceCode = uComm::RaceCode;
    // Kept in memory when the disk fails: Problem tells the operator.
    journal_.Append(action);
    emit Changed();
}

const OperatorAction* ActionHistory::LastUndoable(ActionPage page) const {
    const auto& actions = journal_.Actions();
    for (auto it = actions.rbegin(); it != actions.rend(); ++it) {
        if (it->page == page && !it->undone && it->raceCode == uComm::RaceCode)
            return &*it;
    }
    return nullptr;
}

UndoOutcome ActionHistory::UndoLast(ActionPage page) {
    const OperatorAction* last = LastUndoable(page);
    if (!last)
        return {false, {}, QStringLiteral("%1で元に戻せる操作はありません。").arg(PageName(page))};
    const OperatorAction action = *last;
    const int blocking =
        UndoChanges(database_, action.changes, [&action](TQuery& query) {
            // The suite's other programs learn of the undo as of the action.
            if (action.marksChange)
                update_execinfo(query, QStringLiteral("C1"));
        });
    if (blocking >= 0)
        return {false, action, WhoseChange(action, action.changes[blocking])};
    journal_.MarkUndone(action.id);
    emit Changed();
    return {true, action, {}};
}

QString ActionHistory::WhoseChange(const OperatorAction& action,
                                   const RowChange& blocking) const {
    const QString row = RowDescription(blocking);
    const auto& actions = journal_.Actions();
    bool later = false;
    for (const OperatorAction& other : actions) {
        if (other.id == action.id) {
            later = true;
            continue;
        }
        if (!later || other.undone)
            continue;
        for (const RowChange& change : other.changes) {
            if (change.SameRow(blocking))
                return QStringLiteral("この端末の後の操作（%1 %2 %3）が%4を変更しています。"
                                      "先にその操作を元に戻してください。")
                    .arg(PageName(other.page), other.bib, other.what, row);
        }
    }
    return QStringLiteral("%1は他の端末で変更されたため、元に戻せません。").arg(row);
}

QString ActionHistory::Problem() const {
    return lock_.Held() ? journal_.Problem() : lock_.Problem();
}

QString RowDescription(const RowChange& change) {
    if (change.table == QLatin1String("relaymember"))
        return QStringLiteral("チームNo.%1 の%2走")
            .arg(change.KeyText(QStringLiteral("zek")), change.KeyText(QStringLiteral("num")));
    if (change.table == QLatin1String("result"))
        return QStringLiteral("ビブNo.%1 の記録").arg(change.KeyText(QStringLiteral("zek")));
    if (change.table == QLatin1String("tdc_mid"))
        return QStringLiteral("時刻 %1 のタイム").arg(change.KeyText(QStringLiteral("tm")).trimmed());
    if (change.table == QLatin1String("midjyun")) {
        const QStringList& values = change.after.isEmpty() ? change.before : change.after;
        const auto value = [&](const char* column) {
            return TextOfHex(values.value(change.columns.indexOf(QLatin1String(column)))).trimmed();
        };
        return QStringLiteral("通過記録 %1 %2").arg(value("bib"), value("tod"));
    }
    return change.table;
}

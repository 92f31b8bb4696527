// The actions of this workstation: each kept and sent as it is decided, told when the database
// refuses it, listed on the history page, and taken back with Ctrl+Z or "元に戻す", newest
// first, page by page.
#include "Uhand.h"

#include "common/uComm.h"
#include "data/ActionHistory.h"
#include "data/RaceCache.h"
#include "data/Udm1.h"
#include "timing/LapSession.h"
#include "timing/StatusReadings.h"
#include "timing/StatusStrip.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

QString ProgressText(const OperatorAction& action) {
    if (action.undone)
        return QStringLiteral("取り消し済み");
    switch (action.progress) {
    case OperatorAction::Progress::Waiting:
        return QStringLiteral("未送信");
    case OperatorAction::Progress::Refused:
        return QStringLiteral("記録されず: ") + action.refusal;
    case OperatorAction::Progress::Applied:
        break;
    }
    return {};
}

// The bibs whose rows an action changed, as many as there are.
QSet<QString> BibsChanged(const std::vector<RowChange>& changes) {
    QSet<QString> bibs;
    for (const RowChange& change : changes)
        if (const QString zek = change.KeyText(QStringLiteral("zek")); !zek.isEmpty())
            bibs.insert(zek);
    return bibs;
}

} // namespace

void TFhand::ConnectUndoHandlers() {
    connect(Lists.get(), &ListReading::Ready, this,
            [this](const ListSnapshots& lists) { RunGuarded([&] { ShowLists(lists); }); });
    // Read again with the next change; until then the lists show what was read last.
    connect(Lists.get(), &ListReading::Failed, this,
            [this](const QString& message) { Tell({}, message); });
    for (QPushButton* button : {BtnUndo1, BtnUndo3})
        connect(button, &QPushButton::clicked, this, Guarded(this, &TFhand::UndoLastAction));
    // The list is filled when its page is on show: a key press does not pay for it.
    connect(History.get(), &ActionHistory::Changed, this, [this] {
        if (PageControl1->currentWidget() == TabSheet4)
            ShowHistory();
    });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
        if (PageControl1->currentWidget() == TabSheet4)
            ShowHistory();
    });
    connect(History.get(), &ActionHistory::Applied, this,
            [this](const OperatorAction& action, const QString& note, const QStringList& shown) {
                for (const QString& statement : shown)
                    Memo2->appendPlainText(statement);
                RunGuarded([&] { ActionApplied(action, note); });
            });
    connect(History.get(), &ActionHistory::Refused, this,
            [this](const OperatorAction& action) { RunGuarded([&] { ActionRefused(action); }); });
}

const ActionHistory& TFhand::Actions() const {
    return *History;
}

OperatorAction TFhand::Send(const QString& bib, const QString& what, const ActionRequest& request,
                            bool marksChange) {
    OperatorAction action;
    action.page = PageOnShow();
    action.bib = bib;
    action.what = what;
    action.request = request;
    action.marksChange = marksChange;
    action = History->Submit(std::move(action));
    if (const QString problem = History->Problem(); !problem.isEmpty())
        Tell(bib,
             QStringLiteral("操作を日誌に保存できません（記録は送りますが、プログラムが止まると"
                            "失われます）: ") +
                 problem);
    return action;
}

void TFhand::UndoLastAction() {
    QLineEdit* bibBox = BibBoxOnShow();
    if (!bibBox)
        return;
    RunKeyPress(bibBox, [this] {
        const UndoOutcome outcome = History->UndoLast(PageOnShow());
        if (!outcome.sent) {
            Tell({}, outcome.refusal);
            return;
        }
        const QString said = outcome.action.bib + QStringLiteral("  ") + outcome.action.what;
        Strip->ShowOutcome(NoteAction(QStringLiteral("元に戻します: ") + said.trimmed(), true));
        // A dead heat's held time that goes back is held no more.
        if (Lap->LetGo(outcome.action.request.stamp))
            PaintEd1(QColor(255, 255, 255));
    });
}

void TFhand::ActionApplied(const OperatorAction& action, const QString& note) {
    if (!note.isEmpty())
        Tell(action.bib, note);
    const ActionRequest::Kind kind = action.request.kind;
    if (kind == ActionRequest::Kind::Undo) {
        const std::optional<OperatorAction> target = History->Find(action.request.target);
        const QSet<QString> bibs = target ? BibsChanged(target->changes) : QSet<QString>{};
        // Many rows back at once (a reset taken back): the race is read again whole.
        if (bibs.size() > 20)
            LoadCache();
        else
            for (const QString& bib : bibs)
                ReloadCompetitor(bib);
        Strip->ShowOutcome(NoteAction(
            QStringLiteral("元に戻しました: ") +
                (action.bib + QStringLiteral("  ") + (target ? target->what : QString())).trimmed(),
            true));
    } else if (kind == ActionRequest::Kind::Reset || kind == ActionRequest::Kind::RelayReset) {
        LoadCache();
    }
    RefreshPanel();
}

void TFhand::ActionRefused(const OperatorAction& action) {
    Tell(action.bib,
         QStringLiteral("記録されませんでした（%1）: %2").arg(action.what, action.refusal));
    if (Lap->LetGo(action.request.stamp))
        PaintEd1(QColor(255, 255, 255));
    // What the key press expected did not happen: not this split, at once, and the bib's rows
    // as the server holds them with the next read.
    if (action.request.kind == ActionRequest::Kind::Split)
        Cache->ExpectNoSplit(action.bib, action.request.number);
    if (!action.bib.isEmpty())
        ReloadCompetitor(action.bib);
    RefreshPanel();
}

void TFhand::ShowHistory() {
    HistoryList->clear();
    const std::deque<OperatorAction> actions = History->Actions();
    for (auto it = actions.rbegin(); it != actions.rend(); ++it) {
        if (it->raceCode != uComm::RaceCode)
            continue;
        HistoryList->addTopLevelItem(
            new QTreeWidgetItem({it->at.toString(QStringLiteral("HH:mm:ss")), PageName(it->page),
                                 it->bib, it->what, ProgressText(*it)}));
    }
}

void TFhand::RecordCheckListEdit(const QStringList& columns, const QStringList& readValues,
                                 const QStringList& newValues,
                                 const std::vector<RowChange>& changes) {
    if (changes.empty())
        return;
    QStringList shown;
    for (int c = 0; c < columns.size(); ++c) {
        if (readValues.value(c) != newValues.value(c))
            shown << QStringLiteral("%1 %2 → %3")
                         .arg(columns[c], readValues.value(c).trimmed(),
                              newValues.value(c).trimmed());
    }
    const QString bib = readValues.value(columns.indexOf(QStringLiteral("zek")));
    OperatorAction action;
    action.page = ActionPage::Lap; // the check list is opened from the lap page
    action.bib = bib;
    action.what = QStringLiteral("チェックリスト ") + shown.join(QStringLiteral(", "));
    action.changes = changes;
    History->Submit(std::move(action)); // written by the check list already
    ReloadCompetitor(bib);
    ListPendingTimes();
}

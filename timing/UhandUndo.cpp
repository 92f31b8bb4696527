// The actions of this workstation: each kept as it is done, listed on the history page, and
// taken back with Ctrl+Z or "元に戻す", newest first, page by page.
#include "Uhand.h"

#include "common/uComm.h"
#include "data/ActionHistory.h"
#include "data/Udm1.h"
#include "timing/StatusReadings.h"
#include "timing/StatusStrip.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

void TFhand::ConnectUndoHandlers() {
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
}

void TFhand::KeepAction(const QString& bib, const QString& what, std::vector<RowChange> changes,
                        bool marksChange) {
    OperatorAction action;
    action.page = PageOnShow();
    action.bib = bib;
    action.what = what;
    action.changes = std::move(changes);
    action.marksChange = marksChange;
    History->Record(std::move(action));
    if (const QString problem = History->Problem(); !problem.isEmpty())
        Tell(bib, QStringLiteral("操作履歴を保存できません（元に戻す操作は再起動後には使えません）: ") +
                      problem);
}

void TFhand::UndoLastAction() {
    QLineEdit* bibBox = BibBoxOnShow();
    if (!bibBox)
        return;
    RunKeyPress(bibBox, [this] {
        const UndoOutcome outcome = History->UndoLast(PageOnShow());
        const QString said = outcome.action.bib + QStringLiteral("  ") + outcome.action.what;
        if (!outcome.undone) {
            Tell(outcome.action.bib, outcome.refusal);
            return;
        }
        // A dead heat's held time that went back is held no more.
        for (const RowChange& change : outcome.action.changes)
            if (change.table == QLatin1String("tdc_mid") &&
                change.KeyText(QStringLiteral("tm")) == heldTime_)
                heldTime_.clear();
        Strip->ShowOutcome(NoteAction(QStringLiteral("元に戻しました: ") + said.trimmed(), true));
        ReopenLists();
        PaintEd1(heldTime_.isEmpty() ? QColor(255, 255, 255) : QColor(0, 255, 255));
        if (Dm1->QRelay1.Active())
            Dm1->QRelay1.Open();
    });
}

void TFhand::ShowHistory() {
    HistoryList->clear();
    const auto& actions = History->Actions();
    for (auto it = actions.rbegin(); it != actions.rend(); ++it) {
        if (it->raceCode != uComm::RaceCode)
            continue;
        HistoryList->addTopLevelItem(new QTreeWidgetItem(
            {it->at.toString(QStringLiteral("HH:mm:ss")), PageName(it->page), it->bib, it->what,
             it->undone ? QStringLiteral("取り消し済み") : QString()}));
    }
}

void TFhand::RecordCheckListEdit(const QStringList& columns, const QStringList& readValues,
                                 const QStringList& newValues) {
    RowChange change;
    change.table = QStringLiteral("result");
    change.keyColumns << QStringLiteral("tcode");
    change.keyValues << HexOfText(uComm::RaceCode);
    QStringList shown;
    for (int c = 0; c < columns.size(); ++c) {
        const QString before = HexOf(readValues.value(c));
        const QString after = HexOf(newValues.value(c));
        if (before == after) {
            change.keyColumns << columns[c];
            change.keyValues << before;
            continue;
        }
        change.columns << columns[c];
        change.before << before;
        change.after << after;
        shown << QStringLiteral("%1 %2 → %3").arg(columns[c], readValues.value(c).trimmed(),
                                                  newValues.value(c).trimmed());
    }
    if (change.columns.isEmpty())
        return;
    const QString bib = readValues.value(columns.indexOf(QStringLiteral("zek")));
    OperatorAction action;
    action.page = ActionPage::Lap; // the check list is opened from the lap page
    action.bib = bib;
    action.what = QStringLiteral("チェックリスト ") + shown.join(QStringLiteral(", "));
    action.changes = {change};
    History->Record(std::move(action));
}

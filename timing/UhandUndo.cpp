// The actions of this workstation: each kept and sent as it is decided, told when the database
// refuses it, listed on the history page, and taken back with Ctrl+Z or "元に戻す", newest
// first, page by page.
#include "Uhand.h"

#include "common/uComm.h"
#include "data/Udm1.h"
#include "data/actions/ActionHistory.h"
#include "data/reads/RaceCache.h"
#include "device/StampStore.h"
#include "timing/session/LapSession.h"
#include "timing/widgets/AttentionList.h"
#include "timing/widgets/StatusReadings.h"
#include "timing/widgets/StatusStrip.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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

} // namespace

void TFhand::ConnectUndoHandlers() {
    connect(Lists.get(), &ListReading::Ready, this, [this](const ListSnapshots& lists) {
        WatchServer(QStringLiteral("lists"), {});
        RunGuarded([&] { ShowLists(lists); });
    });
    // Read again with the next change; until then the lists show what was read last.
    connect(Lists.get(), &ListReading::Failed, this, [this](const QString& message) {
        // What changed while the server was away is read whole when it is back.
        wholeRaceWanted_ = true;
        WatchServer(QStringLiteral("lists"), message);
    });
    // The writers keep trying on their own; their trouble is the server's too.
    connect(stamps_, &StampStore::WaitingChanged, this,
            [this] { WatchServer(QStringLiteral("stamps"), stamps_->Problem()); });
    for (QPushButton* button : {BtnUndo1, BtnUndo3})
        connect(button, &QPushButton::clicked, this, Guarded(this, &TFhand::UndoLastAction));
    // The list is filled when its page is on show: a key press does not pay for it.
    connect(History.get(), &ActionHistory::Changed, this, [this] {
        WatchServer(QStringLiteral("actions"), History->WriterProblem());
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
    // The key press's copy was stale: the bib as the server held it, and this workstation's
    // actions on it still to come.
    connect(History.get(), &ActionHistory::StateRead, this,
            [this](const OperatorAction& action, const QString& state) {
                Cache->TakeState(action.request, state);
                Cache->ExpectWaiting(History->Actions(), action.request.bib);
            });
}

void TFhand::WatchServer(const QString& link, const QString& trouble) {
    switch (serverLink_.Report(link, trouble)) {
    case ServerLinkWatch::Change::Lost:
        Strip->ShowServerLost();
        Attention->Add({}, QStringLiteral("サーバーとの接続が切れました。記録は日誌に残し、"
                                          "つながりしだい送ります: ") +
                               serverLink_.Trouble());
        break;
    case ServerLinkWatch::Change::Back:
        Strip->ShowServerBack();
        Attention->Add({}, QStringLiteral("サーバーとの接続が戻りました。"));
        break;
    case ServerLinkWatch::Change::None:
        break;
    }
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
    // The copy shows it at once, whatever the server says later.
    Cache->Expect(action.request);
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
        // Shown at once, whenever the server takes it.
        Cache->Unexpect(outcome.action.request);
        takenAhead_.Update(History->TakenStamps(), Lists->NextRequest());
        takenAhead_.Forget(outcome.action.request.stamp);
        ShowPendingTimes();
        ShowGaps();
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
    // As applied, which the writer may have decided again.
    Cache->Expect(action.request);
    if (WasAwaitingConfirmation(action))
        Strip->ShowOutcome(NoteAction(
            (action.bib + QStringLiteral("  確認済み  ") + action.what).trimmed(), true));
    if (kind == ActionRequest::Kind::Undo) {
        const std::optional<OperatorAction> target = History->Find(action.request.target);
        Strip->ShowOutcome(NoteAction(
            QStringLiteral("元に戻しました: ") +
                (action.bib + QStringLiteral("  ") + (target ? target->what : QString())).trimmed(),
            true));
    }
    RefreshPanel();
}

bool TFhand::WasAwaitingConfirmation(const OperatorAction& action) {
    const auto shown = awaitingConfirmation_.find(action.id);
    if (shown == awaitingConfirmation_.end())
        return false;
    awaitingConfirmation_.erase(shown);
    return true;
}

void TFhand::ActionRefused(const OperatorAction& action) {
    awaitingConfirmation_.erase(action.id);
    // A bib the copy did not know was shown as 確認待ち: the server's answer is the news.
    Tell(action.bib, action.request.Undecided()
                         ? action.refusal
                         : QStringLiteral("記録されませんでした（%1）: %2")
                               .arg(action.what, action.refusal));
    if (Lap->LetGo(action.request.stamp))
        PaintEd1(QColor(255, 255, 255));
    // What the key press expected did not happen: not this split, at once; the writer's read
    // of the bib, when it made one, came before this.
    if (action.request.kind == ActionRequest::Kind::Split)
        Cache->Unexpect(action.request);
    else if (action.request.kind == ActionRequest::Kind::RelayLeg)
        wholeRaceWanted_ = true;
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
    TellTimesGivenBack(bib, changes);
    History->Submit(std::move(action)); // written by the check list already
    ListPendingTimes();
}

// Corrections and resets: cancel a split, assign a device time by hand, pick a bib, clear all
// splits, close. Each change is kept as an action the page can take back.
#include "Uhand.h"

#include "common/ErrorReport.h"
#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "data/Udm1.h"
#include "data/actions/ActionHistory.h"
#include "data/reads/RaceCache.h"
#include "timing/session/KeyPressResult.h"
#include "timing/session/LapSession.h"
#include "timing/widgets/MessageBoxes.h"
#include "timing/widgets/StatusStrip.h"
#include "timing/widgets/TDBGrid.h"

#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString ConfirmCaption = QStringLiteral("実行してよろしいですか？");

} // namespace

void TFhand::ConnectCorrectionHandlers() {
    // The rows the operator picks stay picked over the lists' reads.
    Dm1->Qmidtime.KeepRowBy(QStringLiteral("zek"));
    Dm1->Qdpmid.KeepRowBy(QStringLiteral("id"));
    Dm1->QRelay1.KeepRowBy(QStringLiteral("zek"));
    connect(DBGrid2, &TDBGrid::RowPressed, this, [this] {
        followedBib_.clear();
        NoteSplitRowClicked();
    });
    connect(DBGrid2, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        NoteSplitRowClicked();
        PopupMenu2->popup(DBGrid2->viewport()->mapToGlobal(at));
    });
    connect(N1, &QAction::triggered, this, Guarded(this, &TFhand::N1Click));
    // PopupMenu1 has no items: the request itself is the assignment, and no empty menu shows.
    for (TDBGrid* grid : {DBGrid1, DBGrid6})
        connect(grid, &QWidget::customContextMenuRequested, this,
                Guarded(this, &TFhand::PopupMenu1Popup));
    for (TDBGrid* grid : {DBGrid2, DBGrid3})
        connect(grid, &QAbstractItemView::doubleClicked, this,
                Guarded(this, &TFhand::DBGrid2DblClick));
    connect(Button2, &QPushButton::clicked, this, Guarded(this, &TFhand::Button2Click));
    connect(CuteButton, &TCuteButton::OnClick, this, Guarded(this, &TFhand::CuteButtonClick));
}

void TFhand::NoteSplitRowClicked() {
    const TQuery& splits = Dm1->Qmidtime;
    const auto field = [&splits](const QString& name) {
        return splits.Value(splits.RecNo(), splits.FieldIndex(name));
    };
    splitRowClicked_ =
        SplitRowClicked{DisplayedSplit, field(QStringLiteral("zek")), field(QStringLiteral("bib")),
                        field(QStringLiteral("midfin") + DisplayedSplit)};
}

// The split of the split list's row clicked, at the point then on show. Later splits and the
// split's start column stay as they are. The question names the bib as registered; the rows
// are found by zek, the key the split was written under (the registered bib can differ from
// it, be empty, or be shared, and the passing log holds zek's form).
void TFhand::N1Click() {
    if (!splitRowClicked_)
        return;
    const auto [n, zek, bib, passing] = *splitRowClicked_;
    const bool asked =
        AskYesNo(this, ConfirmCaption,
                 QStringLiteral("ビブNo.") + bib + QStringLiteral(" のフィニッシュタイム ") +
                     passing + QStringLiteral("を取り消しします。"));
    // Whatever the answer, the next digits typed are the next bib.
    ReselectBibBox(Edit5);
    if (!asked)
        return;
    if (passing.isEmpty()) {
        Tell(zek, QStringLiteral("ビブNo.%1 の中間%2 は記録されていません。").arg(bib, n));
        return;
    }
    ActionRequest cancel;
    cancel.kind = ActionRequest::Kind::Cancel;
    cancel.bib = zek;
    cancel.number = n.toInt();
    cancel.passing = passing;
    const QString what = QStringLiteral("取消 中間%1  %2").arg(n, passing);
    Send(zek, what, cancel);
    Strip->ShowOutcome(NoteAction(zek + QStringLiteral("  ") + what, true));
}

// The device-time grid's current time goes to the bib in Edit1, whatever the time's state;
// "0" in Edit1 discards a time given back.
void TFhand::PopupMenu1Popup() {
    const TQuery& grid = Dm1->Qdpmid;
    // A row of the grid is stored: its id names it.
    const StampRef stamp{grid.FieldByName(QStringLiteral("id")).AsString().toLongLong(),
                         {},
                         grid.FieldByName(QStringLiteral("tm")).AsString()};
    const QString typed = Edit1->text();
    const bool zero = typed == QStringLiteral("0");
    const bool discard =
        zero && grid.FieldByName(QStringLiteral("sumi")).AsString() == StampGivenBack;
    if (typed.isEmpty() || (zero && !discard))
        return;
    const QString bib = FormatBib4(StrToInt(typed));
    const bool asked = AskYesNo(
        this, ConfirmCaption,
        discard ? QStringLiteral("戻ったタイム %1 を破棄します。").arg(stamp.time)
                : QStringLiteral("ビブNo.") + bib + QStringLiteral(" のフィニッシュタイムに ") +
                      stamp.time + QStringLiteral(" を採用します。"));
    QLineEdit* bibBox = BibBoxOnShow() ? BibBoxOnShow() : Edit5;
    ReselectBibBox(bibBox);
    if (!asked)
        return;
    if (discard) {
        KeyPressResult discarded = DiscardHead(typed, stamp);
        // Only while it is given back still: another workstation may have taken it meanwhile.
        discarded.action->request.takes = StampGivenBack;
        ShowKeyPress(Edit1, discarded);
        return;
    }
    Edit1->setText(bib);
    ShowKeyPress(Edit1, Lap->Assign(bib, stamp, uComm::MinMeasureMinutes));
}

// Also the passing log's double click: it too copies the split list's current bib.
void TFhand::DBGrid2DblClick() {
    Edit1->setText(Dm1->Qmidtime.FieldByName(QStringLiteral("zek")).AsString());
    ReselectBibBox(Edit5);
}

// Every split of the race, after a question whose default is No: the times all become
// pending again, discarded ones included. Start columns, finishes and relay rows are not
// touched. The reset can be taken back as any other action.
void TFhand::Button2Click() {
    const SplitsOfRace splits = Cache->CountSplits();
    const bool asked = AskYesNo(
        this, ConfirmCaption,
        QStringLiteral("%1 の中間記録 %2 件（%3 名分）をすべて消去し、すべてのタイムを処理待ちに"
                       "戻します。よろしいですか？")
            .arg(windowTitle())
            .arg(splits.splits)
            .arg(splits.competitors),
        false);
    ReselectBibBox(Edit5);
    if (!asked)
        return;
    Lap->LetGoAll();
    const QString what = QStringLiteral("初期化 中間記録 %1 件を消去").arg(splits.splits);
    ActionRequest reset;
    reset.kind = ActionRequest::Kind::Reset;
    Send({}, what, reset);
    Strip->ShowOutcome(NoteAction(what, true));
}

void TFhand::CuteButtonClick() {
    // The close event asks while stamps arrive, then closes the port.
    close();
}

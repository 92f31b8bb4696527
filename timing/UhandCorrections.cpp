// Corrections and resets: cancel a split, assign a device time by hand, pick a bib, clear all
// splits, close.
#include "Uhand.h"

#include "common/ErrorReport.h"
#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "data/SplitCorrections.h"
#include "data/Udm1.h"
#include "timing/MessageBoxes.h"
#include "timing/TDBGrid.h"

#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString ConfirmCaption = QStringLiteral("実行してよろしいですか？");

} // namespace

void TFhand::ConnectCorrectionHandlers() {
    connect(DBGrid2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu2->popup(DBGrid2->viewport()->mapToGlobal(at)); });
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

// The split at the point on show, of the split list's current row. Later splits and the
// split's start column stay as they are. The question names the bib as registered; the rows
// are found by zek, the key the split was written under (the registered bib can differ from
// it, be empty, or be shared, and the passing log holds zek's form).
void TFhand::N1Click() {
    const QString n = DisplayedSplit;
    const TQuery& splits = Dm1->Qmidtime;
    const QString bib = splits.FieldByName(QStringLiteral("bib")).AsString();
    const QString zek = splits.FieldByName(QStringLiteral("zek")).AsString();
    const QString passing = splits.FieldByName(QStringLiteral("midfin") + n).AsString();
    if (!AskYesNo(this, ConfirmCaption,
                  QStringLiteral("ビブNo.") + bib + QStringLiteral(" のフィニッシュタイム ") +
                      passing + QStringLiteral("を取り消しします。")))
        return;
    const bool cancelled =
        Corrections->CancelSplit(zek, n.toInt(), passing, [this](const QStringList& shown) {
            Memo2->appendPlainText(shown.join(QLatin1Char('\n')));
        });
    ReopenLists();
    if (!cancelled)
        ShowMessage(this, QStringLiteral(
                              "ビブNo.%1 の中間%2 は他の端末で変更されました。取り消していません。")
                              .arg(bib, n));
}

// The device-time grid's current time goes to the bib in Edit1, whatever the time's state.
void TFhand::PopupMenu1Popup() {
    PendingTime = Dm1->Qdpmid.FieldByName(QStringLiteral("tm")).AsString();
    EntryBib = Edit1->text();
    if (EntryBib.isEmpty() || EntryBib == QStringLiteral("0"))
        return;
    EntryBib = FormatBib4(StrToInt(EntryBib));
    if (!AskYesNo(this, ConfirmCaption,
                  QStringLiteral("ビブNo.") + EntryBib +
                      QStringLiteral(" のフィニッシュタイムに ") + PendingTime +
                      QStringLiteral(" を採用します。")))
        return;
    Edit1->setText(EntryBib);
    setFTtime(EntryBib, PendingTime, QStringLiteral("1"), false);
    ListPendingTimes();
    ShowPendingGaps();
}

// Also the passing log's double click: it too copies the split list's current bib.
void TFhand::DBGrid2DblClick() {
    Edit1->setText(Dm1->Qmidtime.FieldByName(QStringLiteral("zek")).AsString());
}

// Every split of the race, without a question: the times all become pending again, discarded
// ones included. Start columns, finishes and relay rows are not touched.
void TFhand::Button2Click() {
    Corrections->ResetRace();
    ReopenLists();
}

void TFhand::ReopenLists() {
    Dm1->Qmidtime.Open();
    Dm1->Qmidtime2.Open();
    Dm1->Qdpmid.Open();
    ListPendingTimes();
    ShowPendingGaps();
}

void TFhand::CuteButtonClick() {
    // The close event asks while stamps arrive, then closes the port.
    close();
}

// Corrections and resets: cancel a split, assign a device time by hand, pick a bib, clear all
// splits, close.
#include "Uhand.h"

#include "common/ErrorReport.h"

#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "data/RunStatement.h"
#include "data/SqlValue.h"
#include "data/StatementLines.h"
#include "data/Udm1.h"
#include "timing/MessageBoxes.h"
#include "data/SplitRules.h"
#include "timing/TDBGrid.h"

#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString ConfirmCaption = QStringLiteral("実行してよろしいですか？");

// The cancel leaves each statement in the log before it runs, so a failing one is on record.
void RunLogged(const QStringList& lines, QPlainTextEdit* log) {
    log->appendPlainText(ShownStatement(lines).join(QLatin1Char('\n')));
    RunStatement(Dm1->Qedit, lines);
}

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
    RunLogged({QStringLiteral("update result set midfin%1 = '',midtime%1 = ''").arg(n),
               RaceLine(QStringLiteral("where tcode = ")) +
                   ValueLine(QStringLiteral(" and zek = "), zek)},
              Memo2);
    RunLogged({RaceLine(QStringLiteral("delete from midjyun where tcode = ")),
               ValueLine(QStringLiteral("and bib = "), PassingLogBib(zek)) +
                   ValueLine(QStringLiteral(" and tod = "), passing)},
              Memo2);
    RunLogged({RaceLine(QStringLiteral("update tdc_mid set sumi = '0' where tcode = ")),
               ValueLine(QStringLiteral("and tm = "), passing)},
              Memo2);
    ReopenLists();
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
    LookUpEntry(EntryBib);
    setFTtime(EntryBib, PendingTime, StartText, QStringLiteral("1"), SplitLimit);
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
    const QString race = RaceLine(QStringLiteral("where tcode = "));
    RunStatement(Dm1->Qedit, {QStringLiteral("update result set midtime1 = '',midfin1 = ''"),
                              QStringLiteral(",midtime2 = '',midfin2 = ''"),
                              QStringLiteral(",midtime3 = '',midfin3 = ''"),
                              QStringLiteral(",midtime4 = '',midfin4 = ''"),
                              QStringLiteral(",midtime5 = '',midfin5 = ''"), race});
    RunStatement(Dm1->Qedit, {QStringLiteral("update tdc_mid set sumi = '0'"), race});
    RunStatement(Dm1->Qedit, {RaceLine(QStringLiteral("delete from midjyun where tcode = "))});
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
    CommX1->Close();
    close();
}

#include "app/Ucheck.h"

#include "app/TEditGrid.h"
#include "common/ErrorReport.h"
#include "common/ProgramFiles.h"
#include "common/uComm.h"
#include "data/Udm1.h"
#include "data/actions/CheckListRowWrite.h"
#include "data/sql/SqlValue.h"
#include "timing/Uhand.h"
#include "timing/widgets/MessageBoxes.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QVBoxLayout>
#include <stdexcept>

TFcheck* Fcheck = nullptr;

namespace {

constexpr Qt::Alignment Centred = Qt::AlignHCenter | Qt::AlignVCenter;
constexpr Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;

// Room on each side of the bib's digits: the cell's padding and the grid line.
constexpr int BibCellMargin = 6;

QList<TGridColumn> CheckColumns() {
    QList<TGridColumn> columns = {
        {QStringLiteral("ZEK"), QStringLiteral("ビブ"), false, Left, Left}};
    for (int n = 1; n <= 5; ++n)
        columns.append({QStringLiteral("MidTime%1").arg(n), QStringLiteral("中間%1").arg(n), true,
                        Left, Centred});
    columns.append({QStringLiteral("FINISHTIME"), QStringLiteral("フィニッシュタイム"), false,
                    Qt::AlignRight | Qt::AlignVCenter, Centred});
    return columns;
}

void WriteStatementFile(const QString& path, const QStringList& lines) {
    QSaveFile file(path);
    QByteArray text;
    for (const QString& line : lines)
        text += line.toUtf8() + "\r\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw std::runtime_error(
            QStringLiteral("%1 に書き込めません: %2").arg(path, file.errorString()).toStdString());
}

} // namespace

TFcheck::TFcheck(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("チェックリスト"));
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    setFont(font);
    resize(613, 712);
    // Closing the main window ends the program even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    DBGck2 = new TEditGrid(this);
    DBGck2->setObjectName(QStringLiteral("DBGck2"));
    BtnCheckUndo = new QPushButton(QStringLiteral("元に戻す"), this);
    BtnCheckUndo->setObjectName(QStringLiteral("BtnCheckUndo"));
    BtnCheckUndo->setFocusPolicy(Qt::NoFocus); // the grid keeps the keyboard
    BtnCheckUndo->setEnabled(false);
    auto* layout = new QVBoxLayout(this); // the grid fills the window above the button
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DBGck2);
    layout->addWidget(BtnCheckUndo, 0, Qt::AlignRight);
    connect(&Dm1->Qcheck, &TQuery::RowWritten, this, &TFcheck::KeepEdit);
    connect(DBGck2, &TEditGrid::UndoPressed, this, Guarded(this, &TFcheck::UndoLastEdit));
    connect(BtnCheckUndo, &QPushButton::clicked, this, Guarded(this, &TFcheck::UndoLastEdit));
    Dm1->DScheck.SetColumns(CheckColumns());
    // A split time corrected in the list corrects the rest of the record with it.
    rowWriter_ = std::make_unique<CheckListRowWriter>(Dm1->DB);
    Dm1->Qcheck.SetRowWriter(rowWriter_.get());
    DBGck2->SetDataSource(&Dm1->DScheck);
    // The bib column holds four digits in the font actually used; the others keep their widths.
    const int bibWidth = qMax(36, DBGck2->fontMetrics().horizontalAdvance(QStringLiteral("0000")) +
                                      2 * BibCellMargin);
    const int widths[] = {bibWidth, 80, 80, 80, 80, 80, 100};
    for (int column = 0; column < 7; ++column)
        DBGck2->setColumnWidth(column, widths[column]);
    Fcheck = this;
}

TFcheck::~TFcheck() {
    if (Dm1)
        Dm1->Qcheck.SetRowWriter(nullptr);
    if (Fcheck == this)
        Fcheck = nullptr;
}

QString TFcheck::StatementFilePath() {
    return ProgramDataPath(QStringLiteral("a.txt"));
}

void TFcheck::OpenList() {
    TQuery& check = Dm1->Qcheck;
    // Changes still waiting in the list are posted before it is read again; one that is
    // refused comes back on its row, since the statement stays the same.
    if (check.Active())
        SaveChanges();
    check.SetSQL({QStringLiteral("select zek,startedtime,midtime1,midtime2,midtime3,midtime4,"
                                 "midtime5,finishtime,runtime"),
                  QStringLiteral("from result where tcode=") + SqlValue(uComm::RaceCode),
                  QStringLiteral("order by zek")});
    WriteStatementFile(StatementFilePath(), ShownStatement(check.SQL()));
    check.SetRequestLive(true);
    check.Open();
    show();
    raise();
    activateWindow();
}

void TFcheck::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TFcheck::FormShow() {
    if (mainWindow_)
        move(WithinScreen(mainWindow_->frameGeometry().center() - rect().center()));
}

// Centred on the main window, but never beyond the screen's edges (a main window at the top
// of the screen would put this taller window's title bar out of reach). The first time it is
// shown the window manager has not framed it yet: the main window's frame stands in for its
// own, so the title bar still lands on the screen.
QPoint TFcheck::WithinScreen(QPoint topLeft) const {
    const QRect screen = mainWindow_->screen()->availableGeometry();
    const bool framed = frameGeometry() != geometry();
    const QWidget* framedWindow = framed ? static_cast<const QWidget*>(this) : mainWindow_;
    const int titleBar = framedWindow->geometry().top() - framedWindow->frameGeometry().top();
    const QSize frame =
        size() + (framedWindow->frameGeometry().size() - framedWindow->geometry().size());
    topLeft.setX(qBound(screen.left(), topLeft.x(),
                        qMax(screen.left(), screen.right() - frame.width() + 1)));
    topLeft.setY(qBound(screen.top() + (framed ? 0 : titleBar), topLeft.y(),
                        qMax(screen.top(), screen.bottom() - frame.height() + 1)));
    return topLeft;
}

void TFcheck::closeEvent(QCloseEvent* event) {
    // A change that cannot be written keeps the window open, so it is not lost unseen.
    if (!SaveChanges()) {
        event->ignore();
        return;
    }
    FormClose();
    QWidget::closeEvent(event);
}

bool TFcheck::SaveChanges() {
    const QStringList refusals = DBGck2->SaveChanges();
    if (!refusals.isEmpty())
        ReportError(refusals.join(QLatin1Char('\n')));
    return refusals.isEmpty();
}

void TFcheck::KeepEdit(const QStringList& columns, const QStringList& readValues,
                       const QStringList& newValues, const std::vector<RowChange>& changes) {
    if (timingWindow_) {
        timingWindow_->RecordCheckListEdit(columns, readValues, newValues, changes);
        return;
    }
    undo_.Keep(changes);
    ShowUndoable();
}

void TFcheck::RecordEditsIn(TFhand* timingWindow) {
    timingWindow_ = timingWindow;
    if (timingWindow)
        connect(timingWindow, &QObject::destroyed, this, &TFcheck::ShowUndoable);
    ShowUndoable();
}

void TFcheck::ShowUndoable() {
    BtnCheckUndo->setEnabled(!timingWindow_ && !undo_.Empty());
}

void TFcheck::UndoLastEdit() {
    // The timing window takes back what it kept; what waits in the list is written first, so
    // the newest edit is the one on screen.
    if (timingWindow_ || !SaveChanges() || undo_.Empty())
        return;
    const QString refusal = undo_.TakeBackNewest(Dm1->DB);
    const QModelIndex at = DBGck2->currentIndex();
    Dm1->Qcheck.Open(); // the list shows what was taken back
    DBGck2->setCurrentIndex(Dm1->DScheck.index(at.row(), at.column()));
    ShowUndoable();
    if (!refusal.isEmpty())
        ReportError(refusal);
}

bool TFcheck::MayEndProgram() {
    const QStringList refusals = DBGck2->SaveChanges();
    if (refusals.isEmpty() && !Dm1->Qcheck.HoldsChanges())
        return true;
    const QString question =
        (QStringList{QStringLiteral("チェックリストに書き込めない変更があります。")} + refusals +
         QStringList{QString(), QStringLiteral("この変更を破棄して終了しますか？")})
            .join(QLatin1Char('\n'));
    // No is the default: Enter must not throw away what the operator typed.
    if (!AskYesNo(this, QStringLiteral("確認してください。"), question, false))
        return false;
    FormClose(); // drops what waits
    hide();
    return true;
}

void TFcheck::FormClose() {
    Dm1->Qcheck.Close();
    Dm1->Qcheck.SetRequestLive(false);
}

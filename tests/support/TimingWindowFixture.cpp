#include "TimingWindowFixture.h"

#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "controls/REdit.h"
#include "data/RaceInWork.h"
#include "data/actions/ActionHistory.h"
#include "support/OperatorHands.h"
#include "timing/widgets/AttentionList.h"
#include "timing/widgets/TDBGrid.h"

#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

void TimingWindowFixture::SetUp() {
    ShownErrors().clear();
    // Each test's races start from the defaults, whatever an earlier test set on its R1.
    uComm::DefaultMinMeasureMinutes = QStringLiteral("5");
    uComm::ForgetRaceSettings();
    uComm::Onsei = 0; // no test speaks unless it says so
    dm = std::make_unique<TDm1>(nullptr, db.Name());
    db.Exec("insert into execinfo (num,tcode,updx,stat) values (1,'R1',0,'')");
    AddRace("R1", "01", "テスト大会");
}

void TimingWindowFixture::TearDown() {
    OperatorHands::SetAfterEach({});
    window.reset();
    dm.reset();
}

void TimingWindowFixture::OpenWindow() {
    window = std::make_unique<TFhand>();
    const RaceInWork race = OpenRaceInWork(*dm);
    ShowWindow(race);
}

void TimingWindowFixture::OpenWindowWithCopies() {
    window = std::make_unique<TFhand>();
    OpenedRace opened = OpenRaceOrItsCopy(*dm);
    if (opened.copy)
        window->OpenFromCopy(std::move(*opened.copy));
    window->KeepCopiesOf(opened.race);
    ShowWindow(opened.race);
}

void TimingWindowFixture::ShowWindow(const RaceInWork& race) {
    window->ChooseTimingPage(race.Relay);
    window->setWindowTitle(race.Caption);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    QCoreApplication::processEvents();
    OperatorHands::SetAfterEach([this] { Settle(); });
}

void TimingWindowFixture::Settle() const {
    if (!window)
        return;
    // A server that does not answer keeps actions waiting: the test goes on and says so.
    const bool settled = QTest::qWaitFor(
        [&] {
            return (window->UnsentCount() == 0 || !window->Actions().WriterProblem().isEmpty()) &&
                   !window->ReadingLists();
        },
        10000);
    EXPECT_TRUE(settled) << "actions still waiting for a server that seems to answer";
}

void TimingWindowFixture::CancelTopSplit() {
    TDBGrid* splits = Control<TDBGrid>("DBGrid2");
    const QPoint top = splits->visualRect(splits->model()->index(0, 0)).center();
    OperatorHands::ClickAt(splits->viewport(), top);
    OperatorHands::ClickAt(splits->viewport(), top, Qt::RightButton);
    QMenu* menu = Control<QMenu>("PopupMenu2");
    ASSERT_TRUE(menu->isVisible());
    answers.Answer(QMessageBox::Yes);
    QTest::mouseClick(menu, Qt::LeftButton, {},
                      menu->actionGeometry(Control<QAction>("N1")).center());
    Settle();
}

namespace {

// The centre of the grid's row whose `column` shows `value`, scrolled into sight.
QPoint RowShowing(TDBGrid* grid, const TQuery& rows, const QString& column, const QString& value) {
    for (int row = 0; row < rows.RecordCount(); ++row) {
        if (rows.Value(row, rows.FieldIndex(column)) != value)
            continue;
        grid->scrollTo(grid->model()->index(row, 0));
        QCoreApplication::processEvents();
        return grid->visualRect(grid->model()->index(row, 0)).center();
    }
    ADD_FAILURE() << "no row shows " << qPrintable(value);
    return {};
}

} // namespace

void TimingWindowFixture::GiveByHand(const QString& zek, const QString& tm) {
    TDBGrid* splits = Control<TDBGrid>("DBGrid2");
    OperatorHands::DoubleClickAt(splits->viewport(), RowShowing(splits, dm->Qmidtime, "zek", zek));
    ASSERT_EQ(Control<QLineEdit>("Edit1")->text(), zek);
    answers.Answer(QMessageBox::Yes);
    RightClickDeviceTime(tm);
}

void TimingWindowFixture::RightClickDeviceTime(const QString& tm) {
    TDBGrid* devices = Control<TDBGrid>("DBGrid1");
    const QPoint at = RowShowing(devices, dm->Qdpmid, "tm", tm);
    OperatorHands::ClickAt(devices->viewport(), at);
    OperatorHands::ClickAt(devices->viewport(), at, Qt::RightButton);
}

void TimingWindowFixture::AddRace(const QString& tcode, const QString& syumoku,
                                  const QString& name) {
    db.Exec(QStringLiteral("insert into tiki (tcode,syumoku,TIKIMEI) values ('%1','%2','%3')")
                .arg(tcode, syumoku, name));
}

void TimingWindowFixture::AddClass(const QString& cls, int lapn, int relayn) {
    db.Exec(QStringLiteral("insert into env (tcode,class,lapn,RELAYN) values ('R1','%1',%2,%3)")
                .arg(cls)
                .arg(lapn)
                .arg(relayn));
}

void TimingWindowFixture::AddCompetitor(const QString& zek, const QString& cls,
                                        const QString& start) {
    db.Exec(QStringLiteral("insert into result (tcode,zek,bib,class1,startedtime) values "
                           "('R1','%1','%2','%3','%4')")
                .arg(zek, zek, cls, start));
}

void TimingWindowFixture::AddStamp(const QString& tm, int order, const QString& tstat,
                                   const QString& st) {
    db.Exec(QStringLiteral("insert into tdc_mid (tcode,dt,getstr,bib,st,tm,tstat) values "
                           "('R1', timestampadd(second, %1, '2026-12-07 10:00:00'), '', '0000',"
                           " '%2', '%3', '%4')")
                .arg(order)
                .arg(st, tm, tstat));
}

void TimingWindowFixture::TypeBib(QLineEdit* box, const QString& bib, Qt::Key key) {
    OperatorHands::Click(box);
    OperatorHands::Type(bib);
    OperatorHands::Press(key);
}

void TimingWindowFixture::SetMinimumMinutes(const QString& minutes, const QString& boxName) {
    auto* box = Control<TREdit>(boxName);
    OperatorHands::Click(box);
    box->selectAll();
    OperatorHands::Type(minutes);
    OperatorHands::Press(Qt::Key_Return);
}

QStringList TimingWindowFixture::Told() const {
    QStringList reasons;
    for (const QString& line : Control<AttentionList>("AttentionList")->Lines())
        reasons << line.section(QStringLiteral("  "), 2);
    return reasons;
}

QString TimingWindowFixture::PageShown() const {
    const auto* pages = Control<QTabWidget>("PageControl1");
    return pages->tabText(pages->currentIndex());
}

int TimingWindowFixture::LitSplitButton() const {
    for (int n = 1; n <= 5; ++n)
        if (Control<TCuteButton>(QStringLiteral("CuteButton%1").arg(n))->Color() ==
            QColor(255, 255, 0))
            return n;
    return 0;
}

QStringList TimingWindowFixture::PanelTexts() const {
    QStringList texts;
    for (const QLineEdit* box : PanelBoxes(*window))
        texts << box->text();
    return texts;
}

void TimingWindowFixture::ClickPage(const QString& caption) {
    QTabBar* bar = Control<QTabWidget>("PageControl1")->tabBar();
    for (int i = 0; i < bar->count(); ++i)
        if (bar->tabText(i) == caption)
            return OperatorHands::ClickAt(bar, bar->tabRect(i).center());
    ADD_FAILURE() << "no page " << caption.toStdString();
}

// The pending-time panel, the count, the device-time grid and the split point on show, in
// the real window against the real server.
#include "support/TimingWindowFixture.h"

#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "controls/REdit.h"
#include "timing/widgets/TDBGrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

namespace {

class PendingPanel : public TimingWindowFixture {};

TEST_F(PendingPanel, ShowsTheTenOldestPendingTimesWithTheGapsAndTheFullCount) {
    for (int k = 0; k < 12; ++k)
        AddStamp(QStringLiteral("10:00:%1.0000").arg(10 + 2 * k, 2, 10, QLatin1Char('0')), k);
    OpenWindow();
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 12");
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "10:00:10.0000");
    EXPECT_EQ(Control<QLineEdit>("Ed10")->text(), "10:00:28.0000");
    EXPECT_EQ(Control<QLineEdit>("Eddf12")->text(), "    2.0");
    EXPECT_EQ(Control<QLineEdit>("Eddf910")->text(), "    2.0");
}

TEST_F(PendingPanel, OffersOnlyChannelC1AndNeverALowerCaseC) {
    AddStamp("10:00:01.0000", 0, " ", "C0");
    AddStamp("10:00:02.0000", 1, "c");
    AddStamp("10:00:03.0000", 2, "C");
    AddStamp("10:00:04.0000", 3, "?");
    db.Exec("update tdc_mid set sumi = '1' where tm = '10:00:04.0000'");
    AddStamp("10:00:05.0000", 4, " ");
    OpenWindow();
    EXPECT_EQ(PanelTexts().mid(0, 3), QStringList({"10:00:03.0000", "10:00:05.0000", ""}));
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 2");
    EXPECT_EQ(dm->Qdpmid.RecordCount(), 5); // the grid lists every stamp of the race
    EXPECT_EQ(dm->Qdpmid.FieldByName("tm").AsString(), "10:00:05.0000"); // newest first
}

TEST_F(PendingPanel, AnEmptyRaceShowsZeroAndEmptyBoxes) {
    OpenWindow();
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 0");
    for (const QString& text : PanelTexts())
        EXPECT_TRUE(text.isEmpty());
    EXPECT_TRUE(Control<QLineEdit>("Eddf12")->text().isEmpty());
}

TEST_F(PendingPanel, GapsAreNeitherMadePositiveNorWrappedAtMidnight) {
    AddStamp("23:59:59.5000", 0);
    AddStamp("00:00:00.5000", 1);
    AddStamp("00:00:00.2000", 2);
    OpenWindow();
    // A later stamp at an earlier time of day.
    EXPECT_EQ(Control<QLineEdit>("Eddf12")->text(), "-23:59:59.0");
    EXPECT_EQ(Control<QLineEdit>("Eddf23")->text(), "   -0.3");
    EXPECT_TRUE(Control<QLineEdit>("Eddf34")->text().isEmpty());
}

TEST_F(PendingPanel, SplitButtonsChooseTheListAndColourThePressedOne) {
    AddClass("M", 3);
    AddCompetitor("0010", "M", "10:00:00.0000");
    AddCompetitor("0008", "M", "10:00:00.0000");
    AddCompetitor("0009", "M", "10:00:00.0000");
    db.Exec(
        "update result set midtime1 = '   10:00.0', midfin1 = '10:10:00.0000' where zek = '0009'");
    OpenWindow();
    EXPECT_EQ(LitSplitButton(), 1);
    EXPECT_EQ(Control<TCuteButton>("CuteButton1")->Color(), QColor(255, 255, 0));
    EXPECT_EQ(dm->Qmidtime.Value(0, dm->Qmidtime.FieldIndex("zek")), "0009");

    Control<TCuteButton>("CuteButton3")->Click();
    Settle(); // the list is read in the background
    EXPECT_EQ(LitSplitButton(), 3);
    EXPECT_EQ(Control<TCuteButton>("CuteButton1")->Color(), QColor(255, 255, 255));
    EXPECT_EQ(Control<TCuteButton>("CuteButton3")->Color(), QColor(255, 255, 0));
    EXPECT_TRUE(dm->Qmidtime.Text().endsWith("' order by result.midfin3 desc,result.zek"));
    QStringList zeks; // nobody passed split 3: every competitor in zek order
    for (int row = 0; row < dm->Qmidtime.RecordCount(); ++row)
        zeks << dm->Qmidtime.Value(row, dm->Qmidtime.FieldIndex("zek"));
    EXPECT_EQ(zeks, QStringList({"0008", "0009", "0010"}));
    EXPECT_EQ(dm->Dsmidtime.Columns()[1].FieldName, "Midtime3");
    EXPECT_EQ(dm->Dsmidtime.headerData(2, Qt::Horizontal).toString(), "時刻");
}

TEST_F(PendingPanel, DeviceTimeGridIsShadedByState) {
    AddStamp("10:00:01.0000", 0);
    AddStamp("10:00:02.0000", 1);
    AddStamp("10:00:03.0000", 2);
    db.Exec("update tdc_mid set sumi = '1' where tm = '10:00:02.0000'");
    db.Exec("update tdc_mid set sumi = '2' where tm = '10:00:03.0000'");
    OpenWindow();
    TDBGrid* grid = Control<TDBGrid>("DBGrid1");
    grid->clearSelection();
    const QImage image = grid->viewport()->grab().toImage();
    auto shadeOfRow = [&](int row) {
        const QRect cell = grid->visualRect(dm->Dsqdpmid.index(row, 0));
        return image.pixelColor(cell.right() - 3, cell.center().y());
    };
    EXPECT_EQ(shadeOfRow(0), QColor(204, 182, 236)); // newest first: 10:00:03, discarded
    EXPECT_EQ(shadeOfRow(1), QColor(253, 128, 128)); // assigned
    EXPECT_EQ(shadeOfRow(2), QColor(255, 255, 255)); // pending
}

TEST_F(PendingPanel, OpensWithTheBibBoxOfItsPageFocusedAndTheMinimumShown) {
    uComm::DefaultMinMeasureMinutes = "7"; // a race without a minimum of its own
    OpenWindow();
    EXPECT_TRUE(Control<QLineEdit>("Edit5")->hasFocus());
    EXPECT_EQ(Control<TREdit>("RE1")->Text(), "7");
    window.reset();

    db.Exec("update tiki set syumoku = '10'");
    OpenWindow();
    EXPECT_EQ(PageShown(), "リレー計測");
    EXPECT_TRUE(Control<QLineEdit>("Edit3")->hasFocus());
    EXPECT_EQ(window->windowTitle(), "R1  テスト大会");
}

TEST_F(PendingPanel, EnterInTheDeviceGridCopiesItsBibToTheSideBox) {
    AddStamp("10:00:01.0000", 0);
    db.Exec("update tdc_mid set zek = '0042'");
    OpenWindow();
    TDBGrid* grid = Control<TDBGrid>("DBGrid1");
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(Control<QLineEdit>("Edit2")->text(), "0042");
}

} // namespace

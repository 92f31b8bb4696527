// The strip below the timing window's pages, as an operator sees it while working: the
// device line from a pseudo-terminal, the database, the waiting times and the last key press
// of both timing pages; the port list read again when opened; the device-time grid's colours.
#include "tests/device/DeviceWindowFixture.h"

#include "common/uComm.h"
#include "data/Udm1.h"
#include "serial/PortNames.h"
#include "support/OperatorHands.h"
#include "support/RelayRace.h"
#include "timing/widgets/StatusShadingDelegate.h"
#include "timing/widgets/StatusStrip.h"
#include "timing/widgets/TDBGrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>

namespace {

using namespace StripColours;
using Field = StatusStrip::Field;

class StatusStripTest : public DeviceWindowFixture {
protected:
    StatusStrip* Strip() const { return Control<StatusStrip>("StatusStrip"); }
    StripReading Shown(Field field) const { return Strip()->Shown(field); }
    void TearDown() override {
        uComm::DeviceQuietSeconds = 30;
        DeviceWindowFixture::TearDown();
    }
    // The colour filling most of a row of the device-time grid, scrolled into view.
    QColor RowColour(const QString& tm) const {
        TDBGrid* grid = Control<TDBGrid>("DBGrid1");
        for (int row = 0; row < dm->Qdpmid.RecordCount(); ++row) {
            if (dm->Qdpmid.Value(row, dm->Qdpmid.FieldIndex("tm")) != tm)
                continue;
            QCoreApplication::processEvents(); // the grid lays out rows fetched since
            grid->scrollTo(grid->model()->index(row, 0), QAbstractItemView::PositionAtCenter);
            QCoreApplication::processEvents();
            const QRect cell = grid->visualRect(grid->model()->index(row, 0));
            const QImage image = grid->viewport()->grab().toImage();
            // Left of a scroll bar, when the rows need one.
            return image.pixelColor(std::min(cell.right(), image.width() - 1) - 4,
                                    cell.center().y());
        }
        return {};
    }
};

TEST_F(StatusStripTest, LapPageShowsTheLineTheDatabaseTheWaitingTimesAndEachKeyPress) {
    AddClass("M", 5);
    AddCompetitor("0012", "M", "10:00:00.0000");
    for (int k = 0; k <= WaitingAlertCount; ++k)
        AddStamp(QStringLiteral("10:%1:00.0000").arg(10 + k), k);
    OpenWindow();
    // Below the pages, across the whole window.
    EXPECT_EQ(OperatorHands::WidgetShownAt(Strip(), {}), Strip());
    EXPECT_LE(Control<QTabWidget>("PageControl1")->geometry().bottom(), Strip()->geometry().top());

    // Open, and nothing received yet: not called receiving.
    EXPECT_EQ(Shown(Field::Device).text, "COM200 開 受信なし 0秒");
    EXPECT_EQ(Shown(Field::Device).colour, Idle);
    EXPECT_EQ(Shown(Field::Database).text, "DB Local 接続中");
    EXPECT_EQ(Shown(Field::Database).colour, Good);
    EXPECT_TRUE(Shown(Field::Waiting).text.startsWith("未処理 11 件 最古 "));
    EXPECT_EQ(Shown(Field::Waiting).colour, Warning);

    OperatorHands::Type("12");
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_EQ(Shown(Field::Action).text, "0012  中間1  10:00.0  10:10:00.0000");
    EXPECT_EQ(Shown(Field::Action).colour, Good);
    EXPECT_TRUE(Shown(Field::Waiting).text.startsWith("未処理 10 件 "));
    EXPECT_EQ(Shown(Field::Waiting).colour, Good);

    OperatorHands::Type("999");
    OperatorHands::Press(Qt::Key_Return);
    // Not in this workstation's copy: the server decides, and says no.
    EXPECT_TRUE(Shown(Field::Action).text.contains("ビブNo.0999 は登録されていません。"))
        << qPrintable(Shown(Field::Action).text);
    EXPECT_EQ(Shown(Field::Action).colour, Trouble);
    EXPECT_EQ(Told().filter("ビブNo.0999 は登録されていません。").size(), 1); // listed, no box
    EXPECT_TRUE(answers.Texts().isEmpty());

    Send(StampLine(" ", 1, "C1", "11:00:00.0000"));
    ASSERT_TRUE(Eventually([&] { return Shown(Field::Device).text.contains("最終受信"); }));
    uComm::DeviceQuietSeconds = 0;
    Strip()->Refresh();
    EXPECT_TRUE(Shown(Field::Device).text.startsWith("COM200 無通信 最終受信 "));
    EXPECT_EQ(Shown(Field::Device).colour, Warning);

    pty.CloseMaster();
    ASSERT_TRUE(Eventually([&] { return Shown(Field::Device).text == "COM200 切断 再接続待ち"; }));
    EXPECT_EQ(Shown(Field::Device).colour, Trouble);
}

TEST_F(StatusStripTest, RelayPageShowsItsWaitingTimesAndItsKeyPresses) {
    db.Exec("update tiki set syumoku = '10'");
    RelayRace race{db};
    race.AddClass("R", 4);
    race.AddTeam("0007", "R", "10:00:00.0000");
    AddStamp("10:15:30.1234", 0);
    AddStamp("10:31:00.5000", 1);
    OpenWindow();
    EXPECT_TRUE(Shown(Field::Waiting).text.startsWith("未処理 2 件 最古 "));

    TypeBib(Control<QLineEdit>("Edit3"), "7");
    EXPECT_EQ(Shown(Field::Action).text, "0007  1走  15:30.1  10:15:30.1234");
    EXPECT_EQ(Shown(Field::Action).colour, Good);
    EXPECT_TRUE(Shown(Field::Waiting).text.startsWith("未処理 1 件 "));

    TypeBib(Control<QLineEdit>("Edit3"), "8");
    EXPECT_TRUE(Shown(Field::Action).text.startsWith("0008  "));
    EXPECT_EQ(Shown(Field::Action).colour, Trouble);
}

TEST_F(StatusStripTest, ThePortListIsReadAgainEachTimeItOpens) {
    OpenWindow();
    QFile plugged(dataHome.filePath("usb-timer"));
    ASSERT_TRUE(plugged.open(QIODevice::WriteOnly));
    SetPortPathOverride(203, plugged.fileName());
    QComboBox* ports = Control<QComboBox>("Cbxcomm1");
    EXPECT_EQ(ports->findText("COM203"), -1);

    QTabBar* tabs = Control<QTabWidget>("PageControl1")->tabBar();
    OperatorHands::ClickAt(tabs, tabs->tabRect(1).center());
    OperatorHands::Click(ports);
    const int added = ports->findText("COM203");
    ASSERT_GT(added, 0);
    EXPECT_EQ(ports->itemData(added).toString(), plugged.fileName());
    EXPECT_EQ(ports->currentText(), "COM200"); // the open port stays chosen
    ports->hidePopup();
}

// A held time keeps its shade wherever it stands in the grid, beyond the first screenful too.
TEST_F(StatusStripTest, HeldDiscardedUsedGivenBackAndPendingTimesShadeApart) {
    AddClass("M", 5);
    for (const QString zek : {"0012", "0013", "0014"})
        AddCompetitor(zek, "M", "10:00:00.0000");
    for (int k = 0; k < 6; ++k) // the newest, 10:15, is the grid's current row
        AddStamp(QStringLiteral("10:%1:00.0000").arg(10 + k), k);
    OpenWindow();
    QLineEdit* bibBox = Control<QLineEdit>("Edit5");
    TypeBib(bibBox, "13");                // 10:10 used
    TypeBib(bibBox, "12", Qt::Key_Space); // 10:11 held for a dead heat
    TypeBib(bibBox, "0");                 // the dead heat ends with its one competitor
    TypeBib(bibBox, "0");                 // 10:12 discarded
    TypeBib(bibBox, "14");
    CancelTopSplit(); // 10:13 given back

    const QColor held = RowColour("10:11:00.0000");
    const QColor used = RowColour("10:10:00.0000");
    const QColor discarded = RowColour("10:12:00.0000");
    const QColor givenBack = RowColour("10:13:00.0000");
    const QColor pending = RowColour("10:14:00.0000");
    EXPECT_EQ(held, StatusShadingDelegate::ShadeOf("2", true));
    EXPECT_EQ(discarded, StatusShadingDelegate::ShadeOf("2", false));
    EXPECT_EQ(used, StatusShadingDelegate::ShadeOf("1"));
    EXPECT_EQ(givenBack, StatusShadingDelegate::ShadeOf("3"));
    EXPECT_EQ(pending, StatusShadingDelegate::ShadeOf("0"));
    // Apart at a glance: no two closer than a clear step on any channel.
    const QColor all[] = {held, used, discarded, givenBack, pending};
    for (const QColor& a : all) {
        for (const QColor& b : all) {
            if (&a == &b)
                continue;
            EXPECT_GT(std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                std::abs(a.blue() - b.blue())}),
                      40);
        }
    }

    // Forty newer stamps push it beyond the rows the grid fetches at first.
    for (int k = 0; k < 40; ++k)
        AddStamp(QStringLiteral("11:%1:00.0000").arg(k, 2, 10, QLatin1Char('0')), 10 + k);
    Send(StampLine(" ", 1, "C1", "12:00:00.0000"));
    ASSERT_TRUE(WaitForRows(47));
    ASSERT_TRUE(Eventually([&] { return dm->Qdpmid.Value(0, 0) == "12:00:00.0000"; }));
    while (dm->Qdpmid.CanFetchMore())
        dm->Qdpmid.FetchMore();
    EXPECT_EQ(RowColour("10:11:00.0000"), StatusShadingDelegate::ShadeOf("2", true));
}

// The device's clock two hours from this machine's: the strip says so, and the split point's
// cut-off, set between the two clocks, counts by the device's, which judges the passings.
TEST_F(StatusStripTest, TheCutOffCountsByTheDeviceClockWhileItSends) {
    AddClass("M", 3);
    AddCompetitor("0012", "M", "00:00:01.0000");
    OpenWindow();
    const QTime pcNow = QTime::currentTime();
    const int hours = pcNow.hour() < 12 ? 2 : -2; // both clocks within today
    const QTime deviceNow = pcNow.addSecs(hours * 3600);
    const QString cutOff = pcNow.addSecs(hours * 1800).toString("HH:mm");
    ClickPage("設定");
    OperatorHands::Click(Control<QLineEdit>("CutOff1"));
    OperatorHands::Type(cutOff);
    OperatorHands::Press(Qt::Key_Return);
    Send(StampLine(" ", 12, "C1", deviceNow.toString("HH:mm:ss.zzz0").toLatin1().constData()));
    ASSERT_TRUE(Eventually([&] { return Shown(Field::Device).text.contains("時計差"); }))
        << Shown(Field::Device).text.toStdString();
    EXPECT_TRUE(Shown(Field::Device).text.contains(hours > 0 ? "時計差 +2:00:0" : "時計差 -1:59:5") ||
                Shown(Field::Device).text.contains(hours > 0 ? "時計差 +1:59:5" : "時計差 -2:00:0"))
        << Shown(Field::Device).text.toStdString();

    ClickPage("通過状況");
    const QString heading = Control<QLabel>("ViewHeading")->text();
    EXPECT_EQ(heading.startsWith("関門閉鎖"), hours > 0) << heading.toStdString();
    for (QString& time : uComm::CutOffTimes)
        time.clear();
}

} // namespace

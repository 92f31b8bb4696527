// A time typed by hand for a runner the device missed: the visible button, the small dialog,
// the stamp in its place among the device's, taken by the next bib, marked wherever stamps
// show, and taken back with Ctrl+Z.
#include "SplitFixture.h"

#include "support/OperatorHands.h"
#include "timing/widgets/TDBGrid.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTime>

namespace {

class HandTime : public SplitFixture {
protected:
    void SetUp() override {
        SplitFixture::SetUp();
        // Times a little before now: a time of day still to come is refused.
        const QTime now = QTime::currentTime();
        if (now < QTime(1, 0))
            GTEST_SKIP() << "the test's times would cross midnight";
        base_ = QTime(now.hour(), now.minute(), now.second()).addSecs(-20 * 60);
    }
    // "HH:MM:SS.f000" that many tenths after the base.
    QString At(int tenths) const {
        return base_.addMSecs(tenths * 100).toString(QStringLiteral("HH:mm:ss.zzz")).left(10) +
               QStringLiteral("000");
    }
    // As a volunteer types it: "H:MM:SS.t".
    QString Typed(int tenths) const {
        return base_.addMSecs(tenths * 100).toString(QStringLiteral("H:mm:ss.zzz")).chopped(2);
    }
    void OpenHandTimeDialog() {
        OperatorHands::Click(Control<QPushButton>("BtnHandTime"));
        ASSERT_TRUE(DialogOpen());
    }
    static bool DialogOpen() {
        const QWidget* modal = QApplication::activeModalWidget();
        return modal && modal->objectName() == QLatin1String("HandTimeDialog");
    }
    // The cells of a grid's row whose first cell is `first`.
    static QStringList GridRow(const TDBGrid* grid, const QString& first) {
        const QAbstractItemModel* shown = grid->model();
        for (int row = 0; row < shown->rowCount(); ++row) {
            if (shown->data(shown->index(row, 0)).toString() != first)
                continue;
            QStringList cells;
            for (int c = 0; c < shown->columnCount(); ++c)
                cells << shown->data(shown->index(row, c)).toString();
            return cells;
        }
        return {};
    }
    QStringList PanelTips() const {
        QStringList tips;
        for (int k = 1; k <= 3; ++k)
            tips << Control<QLineEdit>(QStringLiteral("Ed%1").arg(k))->toolTip();
        return tips;
    }
    QTime base_;
};

TEST_F(HandTime, ATypedTimeIsAStampInItsPlaceTakenByTheNextBibAndTakenBack) {
    AddClassM({"0011", "0012", "0013"}, base_.addSecs(-3600).toString("HH:mm:ss.0000"));
    AddStamp(At(0), 0);
    AddStamp(At(200), 1);
    OpenWindow();
    SetMinimumMinutes("5");
    QLineEdit* bibBox = Control<QLineEdit>("Edit5");

    OpenHandTimeDialog();
    OperatorHands::Type(Typed(105));
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_FALSE(DialogOpen());
    EXPECT_EQ(QApplication::focusWidget(), bibBox);
    EXPECT_EQ(PanelTexts().mid(0, 4), QStringList({At(0), At(105), At(200), ""}));
    EXPECT_EQ(PanelTips(), QStringList({"", "手入力", ""}));
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 3");

    // Bibs at a volunteer's pace: the hand time is the second runner's.
    for (const char* bib : {"11", "12", "13"}) {
        OperatorHands::Type(bib);
        OperatorHands::Press(Qt::Key_Return);
    }
    EXPECT_EQ(Result("0011", "midfin1"), QStringList({At(0)}));
    EXPECT_EQ(Result("0012", "midfin1"), QStringList({At(105)}));
    EXPECT_EQ(Result("0013", "midfin1"), QStringList({At(200)}));
    // Other programs read an ordinary stamp, arrived between its neighbours.
    const QString columns = "select tcode, st, tstat, sumi, zek from tdc_mid where ";
    EXPECT_EQ(Row(columns + "getstr = '手入力'"), Row(columns + "tm = '" + At(200) + "'"));
    EXPECT_EQ(Row(columns + "getstr = '手入力'"), QStringList({"R1", "C1", " ", "1", ""}));
    EXPECT_EQ(db.Rows("select tm from tdc_mid order by dt, id"),
              QList<QStringList>({{At(0)}, {At(105)}, {At(200)}}));
    // Marked in the passing log and the device-time grid.
    EXPECT_EQ(GridRow(Control<TDBGrid>("DBGrid3"), "0012").last(), "手");
    EXPECT_EQ(GridRow(Control<TDBGrid>("DBGrid3"), "0011").last(), "");
    EXPECT_EQ(dm->Dsqdpmid.FieldOfRow(1, "tm"), At(105)); // newest first
    EXPECT_EQ(dm->Dsqdpmid.FieldOfRow(1, "hand"), "手");  // shown in italics
    EXPECT_EQ(dm->Dsqdpmid.FieldOfRow(0, "hand"), "");

    // The splits go back newest first; then the typed time itself.
    for (int k = 0; k < 3; ++k)
        OperatorHands::Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(PanelTexts().mid(0, 3), QStringList({At(0), At(105), At(200)}));
    EXPECT_EQ(Result("0012", "midfin1"), QStringList({""}));
    OperatorHands::Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(db.Rows("select id from tdc_mid where getstr = '手入力'").isEmpty());
    EXPECT_EQ(PanelTexts().mid(0, 3), QStringList({At(0), At(200), ""}));
    EXPECT_EQ(QApplication::focusWidget(), bibBox);
}

TEST_F(HandTime, TheDialogExplainsATimeItRefusesAndACancelRecordsNothing) {
    AddStamp(At(0), 0);
    OpenWindow();
    OpenHandTimeDialog();
    auto* message = Control<QLabel>("HandTimeMessage");
    for (const QString& wrong :
         {QStringLiteral("25:00:00"), QStringLiteral("10:61"), QStringLiteral("abc"),
          base_.addSecs(30 * 60).toString("H:mm:ss")}) {
        OperatorHands::Type(wrong);
        OperatorHands::Press(Qt::Key_Return);
        EXPECT_TRUE(DialogOpen()) << wrong.toStdString();
        EXPECT_FALSE(message->text().isEmpty()) << wrong.toStdString();
        OperatorHands::Press(Qt::Key_A, Qt::ControlModifier); // the next try replaces it
    }
    EXPECT_TRUE(message->text().contains("まだ来ていません")) << message->text().toStdString();
    OperatorHands::Press(Qt::Key_Escape);
    EXPECT_FALSE(DialogOpen());
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>("Edit5"));
    EXPECT_EQ(db.Rows("select count(*) from tdc_mid"), QList<QStringList>({{"1"}}));
    EXPECT_EQ(PanelTexts().mid(0, 2), QStringList({At(0), ""}));
    // Full-width digits and colons from the Japanese input mode are taken as they are.
    OpenHandTimeDialog();
    OperatorHands::Type(Typed(50).replace(':', QStringLiteral("：")).replace('1', QStringLiteral("１")));
    OperatorHands::Press(Qt::Key_Return);
    EXPECT_EQ(PanelTexts().mid(0, 3), QStringList({At(0), At(50), ""}));
}

} // namespace

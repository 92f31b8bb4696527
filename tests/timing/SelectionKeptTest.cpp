// The row the operator picks in a list stays picked while the lists are read again: a passing
// recorded elsewhere moves neither the choice nor the row under the pointer, and the cancel
// names and clears the row that was clicked.
#include "SplitFixture.h"
#include "support/OperatorHands.h"

#include "common/uComm.h"
#include "timing/widgets/TDBGrid.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QTest>

using namespace OperatorHands;

namespace {

class SelectionKept : public SplitFixture {
protected:
    // Another workstation's split 1, as headquarters sees it written.
    void PassedElsewhere(const QString& zek, const QString& at) {
        db.Exec(QStringLiteral("update result set midtime1 = 'x', midfin1 = '%1' where zek = '%2'")
                    .arg(at, zek));
    }
    // Waits for the list read (every two seconds) that shows `zek` on top of the split list.
    void WaitForTop(const QString& zek) {
        const TQuery& splits = dm->Qmidtime;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return splits.Value(0, splits.FieldIndex("zek")) == zek; }, 10000))
            << qPrintable(zek);
    }
    static QPoint CentreOf(TDBGrid* grid, const QString& shown) {
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            if (grid->model()->index(row, 0).data().toString() == shown)
                return grid->visualRect(grid->model()->index(row, 0)).center();
        ADD_FAILURE() << qPrintable(shown) << " is not listed";
        return {};
    }
    // The operator's hand on the mouse: the pointer rests where it clicked.
    static void ClickWithPointer(TDBGrid* grid, QPoint at,
                                 Qt::MouseButton button = Qt::LeftButton) {
        QCursor::setPos(grid->viewport()->mapToGlobal(at));
        ClickAt(grid->viewport(), at, button);
    }
};

TEST_F(SelectionKept, AListReadKeepsTheClickedRowUnderThePointerAndTheCancelTakesIt) {
    QStringList zeks;
    for (int k = 1; k <= 32; ++k)
        zeks << FormatBib4(k);
    AddClassM(zeks);
    // Thirty earlier passings, the latest on top; 0020 somewhere in the middle of the screen.
    for (int k = 1; k <= 30; ++k)
        if (k != 22)
            PassedElsewhere(FormatBib4(k),
                            QStringLiteral("10:%1:00.0000").arg(k, 2, 10, QChar('0')));
    AddStamp("10:40:00.0000", 0);
    AddStamp("10:40:30.0000", 1);
    OpenWindow();
    Type("22");
    Press(Qt::Key_Return); // the box keeps showing 0022
    ASSERT_EQ(Result("0022", "midfin1"), QStringList({"10:40:00.0000"}));
    TDBGrid* devices = Control<TDBGrid>("DBGrid1");
    TDBGrid* splits = Control<TDBGrid>("DBGrid2");
    ClickWithPointer(devices, CentreOf(devices, "10:40:00.0000"));
    const QString stampId = dm->Qdpmid.FieldByName("id").AsString();
    const QPoint at = CentreOf(splits, "0020");
    ClickWithPointer(splits, at);
    ASSERT_EQ(dm->Qmidtime.FieldByName("zek").AsString(), "0020");

    // A passing above it and a stamp above the one picked.
    PassedElsewhere("0031", "10:41:00.0000");
    AddStamp("10:41:00.0000", 2);
    WaitForTop("0031");
    EXPECT_EQ(dm->Qmidtime.FieldByName("zek").AsString(), "0020");
    EXPECT_EQ(splits->indexAt(at).data().toString(), "0020") << "moved from under the pointer";
    EXPECT_EQ(dm->Qdpmid.FieldByName("id").AsString(), stampId);

    // The menu stays open over another read; はい then clears the row clicked.
    ClickWithPointer(splits, at, Qt::RightButton);
    QMenu* menu = Control<QMenu>("PopupMenu2");
    ASSERT_TRUE(menu->isVisible());
    PassedElsewhere("0032", "10:42:00.0000");
    WaitForTop("0032");
    answers.Answer(QMessageBox::Yes);
    QTest::mouseClick(menu, Qt::LeftButton, {},
                      menu->actionGeometry(Control<QAction>("N1")).center());
    Settle();
    EXPECT_EQ(answers.LastText(),
              "ビブNo.0020 のフィニッシュタイム 10:20:00.0000を取り消しします。");
    EXPECT_EQ(Result("0020", "midfin1"), QStringList({""}));
    EXPECT_EQ(Result("0022", "midfin1"), QStringList({"10:40:00.0000"}));
}

} // namespace

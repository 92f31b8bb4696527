#include "controls/REdit.h"
#include "tests/controls/ControlsTestSupport.h"

#include <QDialog>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

// The field as the timing window holds it: 50 x 29, bold 21 px font, "10".
struct REditField : testing::Test {
    ControlWindow<TREdit> w;
    TREdit& edit = w.control;
    int exits = 0;

    REditField() {
        QFont font = edit.font();
        font.setPixelSize(21);
        font.setBold(true);
        edit.setFont(font);
        edit.resize(50, 29);
        edit.SetText("10");
        QObject::connect(&edit, &TREdit::OnExit, [this] { ++exits; });
    }
    QRect TextBox() {
        const QImage image = Grab(edit);
        return BoundingBox(image, image.rect().adjusted(3, 3, -3, -3),
                           [](QColor c) { return c.lightness() < 100; });
    }
};

TEST_F(REditField, ShortValueSitsAtTheRightEdgeOnOneUnscrolledLine) {
    const QRect box = TextBox();
    ASSERT_FALSE(box.isNull());
    EXPECT_GE(box.right(), edit.width() - 8);
    EXPECT_GT(box.left(), 15);
    EXPECT_EQ(edit.verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(edit.horizontalScrollBar()->isVisible() || edit.verticalScrollBar()->isVisible());
}

TEST(REdit, EnterAddsALineBreakAndStaysInTheField) {
    QDialog dialog;
    TREdit field(&dialog);
    QPushButton defaultButton(&dialog);
    defaultButton.setDefault(true);
    int defaults = 0;
    QObject::connect(&defaultButton, &QPushButton::clicked, [&] { ++defaults; });
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    field.setFocus();
    QTest::keyClicks(&field, "12");
    QTest::keyClick(&field, Qt::Key_Return);
    QTest::keyClicks(&field, "3");
    EXPECT_EQ(field.Text(), "12\r\n3");
    EXPECT_EQ(defaults, 0);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(field.hasFocus());
    QTest::keyClick(&field, Qt::Key_Up);
    EXPECT_EQ(field.textCursor().blockNumber(), 0);
}

TEST_F(REditField, EveryLineIsRightAlignedAndTextKeepsCrLf) {
    edit.SetText("1\r\n2");
    EXPECT_EQ(edit.Text(), "1\r\n2");
    edit.setFocus();
    edit.moveCursor(QTextCursor::End);
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClicks(&edit, "4");
    EXPECT_GE(TextBox().right(), edit.width() - 8);
    EXPECT_GT(edit.verticalScrollBar()->value(), 0);
    EXPECT_EQ(edit.Text(), "1\r\n2\r\n4");
}

TEST_F(REditField, TabLeavesTheFieldAndRaisesExit) {
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_Tab);
    EXPECT_TRUE(w.other.hasFocus());
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(edit.Text(), "10");
}

} // namespace

#include "controls/CuteBtn.h"
#include "tests/controls/ControlsTestSupport.h"

#include <QMenu>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>

namespace {

// Closes whatever pop-up menu opens and remembers where it appeared.
struct MenuCloser {
    std::optional<QPoint> shownAt;
    QTimer poll;

    MenuCloser() {
        QObject::connect(&poll, &QTimer::timeout, [this] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                shownAt = popup->pos();
                popup->close();
            }
        });
        poll.start(10);
    }
};

struct CuteButtonDropDown : testing::Test {
    ControlWindow<TCuteButton> w;
    TCuteButton& button = w.control;
    QMenu menu;
    MenuCloser closer;
    int clicks = 0;

    CuteButtonDropDown() {
        menu.addAction("item");
        button.SetDropDownMenu(&menu);
        QObject::connect(&button, &TCuteButton::OnClick, [this] { ++clicks; });
        button.setFocus();
    }
    QPoint BelowButton() const { return button.mapToGlobal(QPoint(0, button.height())); }
};

TEST_F(CuteButtonDropDown, ImmediateMenuDropsBelowOnPressAndEnterWithoutAClick) {
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(closer.shownAt, BelowButton());
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button.BevelOuter(), TBevelCut::bvRaised);

    closer.shownAt.reset();
    QTest::keyClick(&button, Qt::Key_Return);
    EXPECT_TRUE(closer.shownAt.has_value());
    EXPECT_EQ(clicks, 0);
}

TEST_F(CuteButtonDropDown, DelayedMenuDropsOnlyWhenHeldForTheDelay) {
    button.SetDropDownDelay(100);
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::qWait(150);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(closer.shownAt.has_value());

    QTest::mousePress(&button, Qt::LeftButton);
    QTest::qWait(150);
    QTest::mouseRelease(&button, Qt::LeftButton);
    EXPECT_EQ(closer.shownAt, BelowButton());
    EXPECT_EQ(clicks, 1);

    closer.shownAt.reset();
    QTest::keyClick(&button, Qt::Key_Return);
    EXPECT_EQ(clicks, 2);
    QTest::keyPress(&button, Qt::Key_Space);
    QTest::qWait(150);
    QTest::keyRelease(&button, Qt::Key_Space);
    EXPECT_TRUE(closer.shownAt.has_value());
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(button.BevelOuter(), TBevelCut::bvRaised);
}

} // namespace

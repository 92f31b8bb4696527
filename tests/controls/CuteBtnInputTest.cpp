#include "controls/CuteBtn.h"
#include "tests/controls/ControlsTestSupport.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

namespace {

using enum TBevelCut;

struct CuteButtonInput : testing::Test {
    ControlWindow<TCuteButton> w;
    TCuteButton& button = w.control;
    int clicks = 0;
    TBevelCut lookDuringClick = bvSpace;

    CuteButtonInput() {
        QObject::connect(&button, &TCuteButton::OnClick, [this] {
            ++clicks;
            lookDuringClick = button.BevelOuter();
        });
    }
    void PressAutoRepeat(int key) {
        QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&button, &repeat);
    }
};

TEST_F(CuteButtonInput, SpaceClicksOnceOnReleaseAndAnotherKeyCancelsIt) {
    button.setFocus();
    QTest::keyPress(&button, Qt::Key_Space);
    EXPECT_EQ(button.BevelOuter(), bvLowered);
    EXPECT_EQ(clicks, 0);
    QTest::keyRelease(&button, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button.BevelOuter(), bvRaised);

    QTest::keyPress(&button, Qt::Key_Space);
    QTest::keyClick(&button, Qt::Key_A);
    EXPECT_EQ(button.BevelOuter(), bvRaised);
    QTest::keyRelease(&button, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
}

TEST_F(CuteButtonInput, EnterClicksOnKeyDownAndOncePerRepeat) {
    button.setFocus();
    QTest::keyPress(&button, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(lookDuringClick, bvLowered);
    PressAutoRepeat(Qt::Key_Return);
    PressAutoRepeat(Qt::Key_Return);
    QTest::keyRelease(&button, Qt::Key_Return);
    QTest::keyClick(&button, Qt::Key_Enter);
    EXPECT_EQ(clicks, 4);
    EXPECT_EQ(button.BevelOuter(), bvRaised);
}

TEST_F(CuteButtonInput, AltWithTheAcceleratorClicksAnEnabledButton) {
    button.SetCaption("&Go");
    w.other.setFocus();
    QTest::keyClick(&w.other, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(lookDuringClick, bvLowered);
    button.setEnabled(false);
    QTest::keyClick(&w.other, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
}

TEST_F(CuteButtonInput, MouseClickRunsWhileLoweredAndReleaseOutsideDoesNotClick) {
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(lookDuringClick, bvLowered);
    EXPECT_EQ(button.BevelOuter(), bvRaised);
    EXPECT_TRUE(button.hasFocus());

    QTest::mousePress(&button, Qt::LeftButton);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(-5, 40));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button.BevelOuter(), bvRaised);
    button.SetTabFocusUp(false);
    QTest::mousePress(&button, Qt::LeftButton);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(-5, 40));
    EXPECT_EQ(button.BevelOuter(), bvNone);
}

TEST_F(CuteButtonInput, FocusAndHoverRaiseTheButton) {
    TBevelCut lookAtEnter = bvSpace;
    QObject::connect(&button, &TCuteButton::OnMouseEnter,
                     [&] { lookAtEnter = button.BevelOuter(); });
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(23, 23));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &enter);
    EXPECT_EQ(lookAtEnter, bvNone);
    EXPECT_EQ(button.BevelOuter(), bvRaised);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(button.BevelOuter(), bvNone);

    button.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(button.BevelOuter(), bvRaised);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(button.BevelOuter(), bvRaised);
    w.other.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(button.BevelOuter(), bvNone);
    button.SetTabFocusUp(false);
    button.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(button.BevelOuter(), bvNone);
}

TEST_F(CuteButtonInput, ReenteringWithTheLeftButtonHeldLooksPressedAndStillClicks) {
    button.SetTabFocusUp(false);
    QWindow* window = w.window.windowHandle();
    const QPoint inside = button.geometry().center();
    QTest::mouseMove(window, inside);
    QTest::mousePress(window, Qt::LeftButton, {}, inside);
    QTest::mouseMove(window, QPoint(250, 180));
    EXPECT_EQ(button.BevelOuter(), bvNone);
    QTest::mouseMove(window, inside);
    EXPECT_EQ(button.BevelOuter(), bvLowered);
    QTest::mouseRelease(window, Qt::LeftButton, {}, inside);
    EXPECT_EQ(clicks, 1);
}

TEST_F(CuteButtonInput, EgnoreContClickSwallowsClicksArrivingWhileTheHandlerRuns) {
    button.SetEgnoreContClick(true);
    QObject::connect(&button, &TCuteButton::OnClick, [this] {
        if (clicks == 1) {
            button.Click();
            QCoreApplication::postEvent(&button,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, {}));
        }
    });
    button.Click();
    EXPECT_EQ(clicks, 1);
    button.Click();
    EXPECT_EQ(clicks, 2);

    button.SetEgnoreContClick(false);
    clicks = 0;
    button.Click();
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 3);
}

} // namespace

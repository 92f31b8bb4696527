#include "OperatorHands.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QPointer>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace OperatorHands {

namespace {

// The window manager's part: when a message box closes, the window it belonged to becomes
// active again. The offscreen platform leaves no window active.
void ReactivateLastWindow() {
    static QPointer<QWidget> lastActive;
    if (QApplication::activeWindow())
        lastActive = QApplication::activeWindow();
    else if (lastActive && lastActive->isVisible()) {
        lastActive->activateWindow();
        QCoreApplication::processEvents();
    }
}

std::function<void()>& AfterEach() {
    static std::function<void()> settle;
    return settle;
}

void Settle() {
    QCoreApplication::processEvents();
    if (AfterEach())
        AfterEach()();
}

QWidget* FocusOrFail() {
    ReactivateLastWindow();
    QWidget* focus = QApplication::focusWidget();
    EXPECT_NE(focus, nullptr) << "no widget has the keyboard focus";
    return focus;
}

} // namespace

void SetAfterEach(std::function<void()> settle) {
    AfterEach() = std::move(settle);
}

void Type(const QString& text) {
    for (const QChar c : text) {
        QWidget* focus = FocusOrFail();
        if (!focus)
            continue;
        // A character beyond ASCII (an input method's full-width digit) comes with no key of
        // its own, as the keyboard sends it.
        if (c.unicode() < 128)
            QTest::keyClicks(focus, QString(c));
        else
            QTest::sendKeyEvent(QTest::Click, focus, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QCoreApplication::processEvents();
}

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    if (QWidget* focus = FocusOrFail())
        QTest::keyClick(focus, key, modifiers);
    Settle();
}

QWidget* WidgetShownAt(QWidget* target, QPoint at) {
    QWidget* window = target->window();
    const QPoint inWindow = target->mapTo(window, at);
    QWidget* shown = window->rect().contains(inWindow) ? window->childAt(inWindow) : nullptr;
    const bool isTarget = shown && (shown == target || target->isAncestorOf(shown));
    EXPECT_TRUE(target->isVisible() && isTarget)
        << qPrintable(target->objectName()) << " is not shown at " << inWindow.x() << ","
        << inWindow.y() << " of its window, "
        << (shown
                ? qPrintable(shown->metaObject()->className() + QString(' ') + shown->objectName())
                : "nothing")
        << " is";
    return isTarget ? shown : nullptr;
}

void ClickAt(QWidget* target, QPoint at, Qt::MouseButton button) {
    ReactivateLastWindow();
    QWidget* shown = WidgetShownAt(target, at);
    if (!shown)
        return;
    const QPoint local = shown->mapFrom(target->window(), target->mapTo(target->window(), at));
    QTest::mouseClick(shown, button, {}, local);
    // The platform's menu request that follows a right press.
    if (button == Qt::RightButton) {
        QContextMenuEvent menu(QContextMenuEvent::Mouse, local, shown->mapToGlobal(local));
        QApplication::sendEvent(shown, &menu);
    }
    Settle();
}

void Click(QWidget* target, Qt::MouseButton button) {
    ClickAt(target, target->rect().center(), button);
}

void DoubleClickAt(QWidget* target, QPoint at) {
    ClickAt(target, at);
    if (QWidget* shown = WidgetShownAt(target, at)) {
        const QPoint local = shown->mapFrom(target->window(), target->mapTo(target->window(), at));
        QTest::mouseDClick(shown, Qt::LeftButton, {}, local);
    }
    QCoreApplication::processEvents();
}

void Wheel(QWidget* target, int notches) {
    ReactivateLastWindow();
    const QPoint at = target->rect().center();
    QWidget* shown = WidgetShownAt(target, at);
    if (!shown)
        return;
    const QPoint local = shown->mapFrom(target->window(), target->mapTo(target->window(), at));
    constexpr int Notch = 120;
    QWheelEvent wheel(local, shown->mapToGlobal(local), {}, {0, -notches * Notch}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(shown, &wheel);
    Settle();
}

} // namespace OperatorHands

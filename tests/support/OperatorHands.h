#pragma once
// An operator's keyboard and mouse: keys go wherever the focus is, and a click lands on the
// screen position of a widget only when that widget is shown there (not hidden behind or
// outside its window).

#include <QPoint>
#include <QString>
#include <Qt>

#include <functional>

class QWidget;

namespace OperatorHands {

// What follows each key and click, until set otherwise: a test's wait for the window to have
// done what the key asked (none by default).
void SetAfterEach(std::function<void()> settle);

// Keys typed to QApplication::focusWidget(), as a keyboard sends them.
void Type(const QString& text);
void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// The widget under `target`'s centre (or `at`, in target's coordinates) in its window; fails
// the test when the position shows something else.
QWidget* WidgetShownAt(QWidget* target, QPoint at);
void Click(QWidget* target, Qt::MouseButton button = Qt::LeftButton);
void ClickAt(QWidget* target, QPoint at, Qt::MouseButton button = Qt::LeftButton);
void DoubleClickAt(QWidget* target, QPoint at);
// The mouse wheel rolled over target's centre, `notches` towards the operator (down a list);
// fails the test when something else shows there.
void Wheel(QWidget* target, int notches);

} // namespace OperatorHands

#include "timing/widgets/WholeTextOnClick.h"

#include <QLineEdit>
#include <QMouseEvent>

WholeTextOnClick::WholeTextOnClick(QLineEdit* box) : QObject(box), box_(box) {
    box->installEventFilter(this);
}

bool WholeTextOnClick::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseMove)
        return QObject::eventFilter(watched, event);
    // Presses, double clicks and drags never reach the box: they would move the caret or
    // select part of the number.
    if (type != QEvent::MouseMove) {
        box_->setFocus(Qt::MouseFocusReason);
        box_->selectAll();
    }
    return true;
}

#include "KeyDownFilter.h"

#include <QKeyEvent>

KeyDownFilter::KeyDownFilter(QObject* box, Handler handler)
    : QObject(box), handler_(std::move(handler)) {
    box->installEventFilter(this);
}

bool KeyDownFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        handler_(13);
        return true;
    }
    if (key == Qt::Key_Space) {
        handler_(32);
        return true;
    }
    return false;
}

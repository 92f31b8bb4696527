#include "timing/widgets/KeyDownFilter.h"

#include "common/ErrorReport.h"

#include <QKeyEvent>

KeyDownFilter::KeyDownFilter(QObject* box, Handler handler)
    : QObject(box), handler_(std::move(handler)) {
    box->installEventFilter(this);
}

bool KeyDownFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const int code = key == Qt::Key_Return || key == Qt::Key_Enter ? 13
                     : key == Qt::Key_Space                        ? 32
                                                                   : 0;
    if (code == 0)
        return false;
    RunGuarded([&] { handler_(code); });
    return true;
}

#include "ModalAnswerer.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

ModalAnswerer::ModalAnswerer() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::AnswerOpenBox);
    timer_.start();
}

void ModalAnswerer::Forget() {
    texts_.clear();
    captions_.clear();
}

void ModalAnswerer::AnswerOpenBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || box->property("answered").toBool())
        return;
    box->setProperty("answered", true);
    texts_.append(box->text());
    captions_.append(box->windowTitle());
    buttonTexts_.clear();
    for (QAbstractButton* shown : box->buttons())
        buttonTexts_.append(shown->text());
    QAbstractButton* button = nullptr;
    if (!answers_.empty()) {
        const Reply reply = answers_.front();
        answers_.pop_front();
        if (reply.key) {
            // The window manager activates a box that opens; the offscreen platform does not.
            box->activateWindow();
            QCoreApplication::processEvents();
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus && box->isAncestorOf(focus) ? focus : box, *reply.key);
            return;
        }
        button = box->button(reply.button);
    }
    if (!button)
        button = box->defaultButton();
    if (!button)
        button = box->button(QMessageBox::Ok);
    if (button)
        button->click();
    else
        box->reject();
}

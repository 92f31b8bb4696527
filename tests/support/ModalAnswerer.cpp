#include "ModalAnswerer.h"

#include <QApplication>
#include <QPushButton>

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
    QAbstractButton* button = nullptr;
    if (!answers_.empty()) {
        button = box->button(answers_.front());
        answers_.pop_front();
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

#pragma once
// Answers the message boxes that handlers under test open, so a modal box never hangs a
// test, and records what each box said.

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <deque>

class ModalAnswerer : public QObject {
public:
    ModalAnswerer();

    // The button for the next box; boxes beyond the queued answers get their default (or
    // Ok) button.
    void Answer(QMessageBox::StandardButton button) { answers_.push_back(button); }

    QStringList Texts() const { return texts_; }
    QStringList Captions() const { return captions_; }
    QString LastText() const { return texts_.isEmpty() ? QString() : texts_.last(); }
    void Forget();

private:
    void AnswerOpenBox();

    QTimer timer_;
    std::deque<QMessageBox::StandardButton> answers_;
    QStringList texts_;
    QStringList captions_;
};

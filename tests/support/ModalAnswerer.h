#pragma once
// Answers the message boxes that handlers under test open, so a modal box never hangs a
// test, and records what each box said.

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <optional>

class ModalAnswerer : public QObject {
public:
    ModalAnswerer();

    // The button for the next box; boxes beyond the queued answers get their default (or
    // Ok) button.
    void Answer(QMessageBox::StandardButton button) { answers_.push_back({button, {}}); }
    // The next box is answered as an operator does, with a key to whatever has the focus.
    void AnswerWithKey(Qt::Key key) { answers_.push_back({QMessageBox::NoButton, key}); }
    // The captions of the last box's buttons.
    QStringList ButtonTexts() const { return buttonTexts_; }

    QStringList Texts() const { return texts_; }
    QStringList Captions() const { return captions_; }
    QString LastText() const { return texts_.isEmpty() ? QString() : texts_.last(); }
    void Forget();

private:
    void AnswerOpenBox();

    QTimer timer_;
    struct Reply {
        QMessageBox::StandardButton button;
        std::optional<Qt::Key> key;
    };
    std::deque<Reply> answers_;
    QStringList buttonTexts_;
    QStringList texts_;
    QStringList captions_;
};

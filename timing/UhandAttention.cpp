// The operator's attention: keys that always reach the bib box, key presses that end with the
// box ready for the next bib whatever happened, and refusals and troubles told on the strip
// and listed under 要確認, never in a box that would take the next bib's keys.
#include "Uhand.h"

#include "timing/AttentionList.h"
#include "timing/BibKeyboard.h"
#include "timing/StatusStrip.h"

#include <QApplication>
#include <QHideEvent>
#include <QLineEdit>
#include <QPushButton>

void TFhand::ConnectAttentionHandlers() {
    new BibKeyboard(
        this, [this] { return BibBoxOnShow(); },
        [this] { RunGuarded([this] { UndoLastAction(); }); });
    connect(Attention->ClearButton(), &QPushButton::clicked, this, [this] {
        if (QLineEdit* box = BibBoxOnShow())
            ReselectBibBox(box);
    });
}

void TFhand::RunKeyPress(QLineEdit* bibBox, const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& error) {
        // Nothing of a key press that failed was written (one transaction); its time is still
        // waiting, and the operator types the bib again when the cause is gone.
        Tell(bibBox->text(), QString::fromUtf8(error.what()));
    }
    ReselectBibBox(bibBox);
}

void TFhand::Tell(const QString& bib, const QString& reason) {
    LastAction refused;
    refused.bib = bib;
    refused.refusal = reason;
    Strip->ShowOutcome(refused);
    Attention->Add(bib, reason);
}

void TFhand::ShowErrorsHere(bool here) {
    if (here == showingErrors_)
        return;
    showingErrors_ = here;
    if (!here) {
        SwapErrorReporter(std::move(otherReporter_));
        return;
    }
    otherReporter_ = SwapErrorReporter([this](const QString& message) {
        // Another window of the program (the check list) shows its own errors as before.
        QWidget* active = QApplication::activeWindow();
        if (active && active != this && otherReporter_)
            otherReporter_(message);
        else
            Tell({}, message);
    });
}

void TFhand::hideEvent(QHideEvent* event) {
    ShowErrorsHere(false);
    QDialog::hideEvent(event);
}

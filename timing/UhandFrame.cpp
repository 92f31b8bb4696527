// The window's frame under an operator's hands: no key of its own (a dialog would close on
// Esc and click a default button on a stray Enter, which here is a reset of the whole race),
// pages that follow the window's size, and a close box that does what "×" does.
#include "Uhand.h"

#include "serial/CommX.h"
#include "timing/widgets/AttentionList.h"
#include "timing/widgets/StatusStrip.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>

void TFhand::DisarmDefaultButtons() {
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void TFhand::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A control that uses the key has taken it already; what reaches the window does
        // nothing.
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TFhand::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlacePagesAndStrip();
}

void TFhand::PlacePagesAndStrip() {
    // The strip keeps its height along the bottom; the pages take the rest. The 要確認 list
    // stands at the foot of the timing pages, right of the bib box for hand assignments.
    const int pagesHeight = height() - StatusStrip::Height;
    PageControl1->setGeometry(0, 0, width(), pagesHeight);
    Strip->setGeometry(0, pagesHeight, width(), StatusStrip::Height);
    constexpr int AttentionLeft = 462;
    constexpr int AttentionHeight = 96;
    Attention->setGeometry(AttentionLeft, pagesHeight - AttentionHeight - 2,
                           width() - AttentionLeft - 6, AttentionHeight);
    Attention->raise();
}

void TFhand::closeEvent(QCloseEvent* event) {
    // Times the device sends while the window is closed are not received: asked first.
    if (!ConfirmCloseWhileReceiving()) {
        event->ignore();
        return;
    }
    CommX1->Close();
    QDialog::closeEvent(event);
}

#include "timing/BibKeyboard.h"

#include "timing/session/TypedDigit.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

// A box the operator types into on purpose: its own digits stay with it.
bool IsTypingBox(QObject* object) {
    if (const auto* line = qobject_cast<QLineEdit*>(object))
        return !line->isReadOnly();
    if (const auto* text = qobject_cast<QTextEdit*>(object))
        return !text->isReadOnly();
    if (const auto* plain = qobject_cast<QPlainTextEdit*>(object))
        return !plain->isReadOnly();
    if (const auto* combo = qobject_cast<QComboBox*>(object))
        return combo->isEditable();
    return qobject_cast<QAbstractSpinBox*>(object) != nullptr;
}

} // namespace

BibKeyboard::BibKeyboard(QWidget* window, std::function<QLineEdit*()> bibBox,
                         std::function<void()> undo)
    : QObject(window), window_(window), bibBox_(std::move(bibBox)), undo_(std::move(undo)) {
    qApp->installEventFilter(this);
}

bool BibKeyboard::eventFilter(QObject* watched, QEvent* event) {
    // The box back in focus (a page chosen again, the window active again) holds the last bib,
    // which the next digit replaces, never extends.
    if (event->type() == QEvent::FocusIn && watched == bibBox_()) {
        static_cast<QLineEdit*>(watched)->selectAll();
        return false;
    }
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != window_)
        return false;
    QLineEdit* box = bibBox_();
    if (!box)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo)) {
        undo_();
        return true;
    }
    const char digit = DigitOf(key->text());
    if (digit == 0 || (widget != box && IsTypingBox(widget)))
        return false;
    if (widget != box) {
        // A new bib: the box's last one is replaced, never added to.
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
    }
    box->insert(QString(QLatin1Char(digit)));
    return true;
}

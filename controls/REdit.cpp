#include "controls/REdit.h"

#include "controls/FocusReason.h"

#include <QFocusEvent>
#include <QTextOption>

TREdit::TREdit(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::NoWrap);
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(Qt::AlignRight);
    document()->setDefaultTextOption(option);
    // An edit box shows no scroll bars; it scrolls to the caret by itself. The small margin
    // lets one line of a large font fit a field only a little taller than the font.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(1);
}

QString TREdit::Text() const {
    return toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

void TREdit::SetText(const QString& text) {
    setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void TREdit::focusOutEvent(QFocusEvent* event) {
    QTextEdit::focusOutEvent(event);
    if (IsControlFocusChange(event->reason()))
        emit OnExit();
}

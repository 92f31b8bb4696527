#pragma once
// The message boxes of the windows: a plain message with the application's title, and a
// Yes/No question that answers Yes only when Yes was chosen. Yes is the default button (the
// operators confirm with Enter), but for a question whose Yes erases much, where Enter must
// not erase.

#include <QString>

class QWidget;

void ShowMessage(QWidget* parent, const QString& text);
bool AskYesNo(QWidget* parent, const QString& caption, const QString& text,
              bool yesByDefault = true);

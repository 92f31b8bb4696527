#pragma once

#include <QTextEdit>

// A one-field entry for numbers whose text hugs the right edge. It behaves as a multi-line
// edit: Enter inserts a line break (CR LF in Text()) and stays in the field, up and down move
// between lines, long lines scroll sideways instead of wrapping, and Tab leaves the field.
// OnExit() is raised when the focus moves to another control.
class TREdit : public QTextEdit {
    Q_OBJECT

public:
    explicit TREdit(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);

signals:
    void OnExit();

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

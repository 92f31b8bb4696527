#pragma once
// A click into a bib box selects its whole text instead of placing the caret between
// digits, so the next bib typed replaces the last one (a caret in "0102" would make the
// next entry 1030102).

#include <QObject>

class QLineEdit;

class WholeTextOnClick : public QObject {
public:
    explicit WholeTextOnClick(QLineEdit* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* box_;
};

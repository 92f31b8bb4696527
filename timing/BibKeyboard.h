#pragma once
// The operator's keys belong to the bib box of the page on show. Whatever had the focus last
// (a grid, a button, a panel, the window after a question), a digit typed goes to the bib box
// and starts a new bib there, as it does when the box itself gets the focus back; only a box
// the operator chose to type into (a gap box, the minutes box, the side box) keeps its
// digits. Digits typed with the Japanese input mode on
// (０ … ９) are taken as the digits they are. Ctrl+Z takes back the page's last action,
// wherever the focus is in the window.

#include <QObject>
#include <functional>

class QLineEdit;
class QWidget;

class BibKeyboard : public QObject {
public:
    // `bibBox` gives the bib box of the page on show, none on a page without one.
    BibKeyboard(QWidget* window, std::function<QLineEdit*()> bibBox, std::function<void()> undo);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    std::function<QLineEdit*()> bibBox_;
    std::function<void()> undo_;
};

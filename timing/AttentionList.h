#pragma once
// "要確認": what the operator has to look at, listed on the timing pages until cleared, so
// that nothing told in passing on the status strip is lost: refused key presses (time of day,
// bib, reason), database errors, the device line lost, stamps the database does not take.
// It never takes the keyboard: a bib typed after clicking it still goes to the bib box.

#include <QFrame>
#include <QStringList>

class QLabel;
class QPushButton;
class QTreeWidget;

class AttentionList : public QFrame {
public:
    // The newest entries kept; older ones go.
    static constexpr int Kept = 100;

    explicit AttentionList(QWidget* parent);

    // The same bib and reason again, one after the other, count on one line.
    void Add(const QString& bib, const QString& reason);
    void Clear();

    // The lines as shown, newest first: "10:05:03  0017  reason".
    QStringList Lines() const;
    QPushButton* ClearButton() const { return clear_; }

private:
    void ShowCount();

    QLabel* caption_;
    QTreeWidget* list_;
    QPushButton* clear_;
};

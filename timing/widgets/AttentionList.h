#pragma once
// "要確認": what the operator has to look at, listed on the timing pages until cleared, so
// that nothing told in passing on the status strip is lost: refused key presses (time of day,
// bib, reason), database errors, the server lost and back, stamps the database does not take.
// Kept in a journal when given one, it is there again when the window opens anew.
// It never takes the keyboard: a bib typed after clicking it still goes to the bib box.

#include "timing/widgets/AttentionJournal.h"

#include <QFrame>
#include <QStringList>
#include <memory>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class AttentionList : public QFrame {
public:
    // The newest entries kept; older ones go.
    static constexpr int Kept = 100;

    explicit AttentionList(QWidget* parent);
    ~AttentionList() override;

    // Shows what the journal holds, and keeps every change in it from now on.
    void KeepIn(std::unique_ptr<AttentionJournal> journal);

    // The same bib and reason again, one after the other, count on one line.
    void Add(const QString& bib, const QString& reason);
    void Clear();

    // The lines as shown, newest first: "10:05:03  0017  reason".
    QStringList Lines() const;
    QPushButton* ClearButton() const { return clear_; }

private:
    void Show(const AttentionEntry& entry);
    // Oldest first.
    std::vector<AttentionEntry> Entries() const;
    void ShowCount();

    QLabel* caption_;
    QTreeWidget* list_;
    QPushButton* clear_;
    std::unique_ptr<AttentionJournal> journal_;
};

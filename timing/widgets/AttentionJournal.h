#pragma once
// The 要確認 list kept on the disk, one journal per data source and database like the stamps
// and the actions, so that a restarted window shows what was still to look at. A line is
// added for each entry, or for an entry counted again; the file is written anew, short, when
// the list is cleared or has grown long. Lines are not forced to the disk one by one: a
// refusal must not make the next key press wait, and the file outlives a crash of the program.

#include "common/JournalFile.h"
#include "common/JournalLock.h"

#include <QDateTime>
#include <vector>

struct AttentionEntry {
    QDateTime at;
    QString bib;
    QString reason;
    int times = 1; // the same bib and reason, one after the other
};

class AttentionJournal {
public:
    AttentionJournal(const QString& folder, const QString& sourceName);

    // What the file held when opened, oldest first, entries counted again included.
    std::vector<AttentionEntry> TakeFound();
    void Keep(const AttentionEntry& entry);
    // Writes the file anew with these entries only, oldest first.
    void KeepOnly(const std::vector<AttentionEntry>& entries);
    // Lines added since the file was last written anew.
    int LinesAdded() const { return linesAdded_; }

private:
    JournalLock lock_;
    JournalFile file_;
    int linesAdded_ = 0;
};

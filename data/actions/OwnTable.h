#pragma once
// A table of the program's own beside the suite's tables, made where a race database lacks
// it. Where the user may not create it, the program goes on without what the table keeps:
// Kept says so, to every thread.

#include <QString>
#include <QStringList>

#include <atomic>

class TQuery;

class OwnTable {
public:
    OwnTable(QString name, QStringList createLines)
        : name_(std::move(name)), createLines_(std::move(createLines)) {}

    // Looks for the table and makes it when missing; gives whether it is there.
    bool Ensure(TQuery& query);
    bool Kept() const { return kept_; }
    // What was found when the race was last read, while the server cannot be asked.
    void Assume(bool kept) { kept_ = kept; }

private:
    QString name_;
    QStringList createLines_;
    std::atomic<bool> kept_{true};
};

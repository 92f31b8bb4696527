#pragma once
// The order a list is read in, taken from its statement's last "order by": a list read a
// window of rows at a time goes on from the values of the last row it holds, not from a count
// of rows, so rows stored meanwhile above it move no row of the next window, and a read again
// can stop at the last row the operator scrolled to.
// The keys are plain columns ("tdc_mid.dt desc"); a key's field in the rows is the name the
// select gives the column ("b.runtime as runtt": runtt), else the column without its table.

#include <QString>
#include <QStringList>

#include <vector>

struct OrderKey {
    QString column;
    QString field;
    bool descending = false;
};

class ListOrder {
public:
    // No keys when the statement has no order by, or orders by more than plain columns.
    explicit ListOrder(const QString& statement);

    bool Keyed() const { return !keys_.empty(); }
    const std::vector<OrderKey>& Keys() const { return keys_; }

    // The statement for the rows at or after `last` (the keys' values of a row), in order.
    QString From(const QStringList& last) const { return Seeking(last, true); }
    // The statement for the rows up to and including `last`, in order.
    QString Through(const QStringList& last) const { return Seeking(last, false); }

private:
    QString Seeking(const QStringList& last, bool onwards) const;

    QString head_;    // the statement up to its order by
    QString orderBy_; // the order by to the end
    std::vector<OrderKey> keys_;
};

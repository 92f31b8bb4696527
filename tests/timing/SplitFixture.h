#pragma once
// The timing window on a race of the test's own, with the rows that split assignment and its
// corrections write read back for comparison.

#include "support/TimingWindowFixture.h"

class SplitFixture : public TimingWindowFixture {
protected:
    // Class "M" with three splits and its competitors, all started at `start`.
    void AddClassM(const QStringList& zeks,
                   const QString& start = QStringLiteral("10:00:00.0000")) {
        AddClass("M", 3);
        for (const QString& zek : zeks)
            AddCompetitor(zek, "M", start);
    }
    // The first row of a select; empty when there is none.
    QStringList Row(const QString& sql) const {
        const auto rows = db.Rows(sql);
        return rows.isEmpty() ? QStringList() : rows.first();
    }
    QStringList Result(const QString& zek, const QString& columns) const {
        return Row(QStringLiteral("select %1 from result where zek = '%2'").arg(columns, zek));
    }
    // sumi of every device time, in order of arrival.
    QStringList States() const {
        QStringList states;
        for (const QStringList& row : db.Rows("select sumi from tdc_mid order by id"))
            states << row.first();
        return states;
    }
};

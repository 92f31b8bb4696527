#include "data/reads/SplitPointPassings.h"

#include "common/uComm.h"
#include "data/reads/SnapshotFields.h"
#include "data/reads/SplitPointColumns.h"
#include "data/rules/RelayLegs.h"
#include "data/rules/SplitRules.h"
#include "data/sql/SqlValue.h"
#include "data/sql/StatementLines.h"

#include <algorithm>
#include <map>

namespace {

// When the runner passed, in milliseconds from the midnight before the start.
qint64 PassedAt(const QString& start, const QString& timeOfDay) {
    if (IsUnsetTime(start))
        return TimeTextToMs(timeOfDay);
    return qint64(TimeTextToMs(start)) + MeasuredMs(start, timeOfDay);
}

struct Passed {
    qint64 at;
    SplitPassing passing;
};

// Orders 1, 2, 3 … in the order given, those through at the same moment sharing the first's.
void GiveOrders(const std::vector<Passed*>& inOrder, int SplitPassing::*order) {
    for (size_t i = 0; i < inOrder.size(); ++i)
        inOrder[i]->passing.*order = i > 0 && inOrder[i - 1]->at == inOrder[i]->at
                                         ? inOrder[i - 1]->passing.*order
                                         : static_cast<int>(i) + 1;
}

std::vector<Passed> InPassingOrder(const ListSnapshot& rows) {
    const int zek = SnapshotField(rows, QStringLiteral("zek"));
    const int bib = SnapshotField(rows, QStringLiteral("bib"));
    const int className = SnapshotField(rows, QStringLiteral("class1"));
    const int start = SnapshotField(rows, QStringLiteral("startedtime"));
    const int splitTime = SnapshotField(rows, QStringLiteral("splittime"));
    const int timeOfDay = SnapshotField(rows, QStringLiteral("passed"));
    std::vector<Passed> passed;
    passed.reserve(rows.rows.size());
    for (const QStringList& row : rows.rows)
        passed.push_back({PassedAt(row.value(start), row.value(timeOfDay)),
                          {row.value(zek), row.value(bib), row.value(className),
                           row.value(splitTime).trimmed(), row.value(timeOfDay)}});
    std::sort(passed.begin(), passed.end(), [](const Passed& a, const Passed& b) {
        return a.at != b.at ? a.at < b.at : a.passing.zek < b.passing.zek;
    });
    return passed;
}

} // namespace

QStringList SplitPointPassingsStatement(const QString& race, int split) {
    const QString passing = PassingColumn(split);
    return {QStringLiteral("select ") +
                ByteColumns({QStringLiteral("r.zek"), QStringLiteral("r.bib"),
                             QStringLiteral("r.class1"), QStringLiteral("r.startedtime")}) +
                QStringLiteral(",cast(r.midtime%1 as binary) as splittime").arg(split) +
                QStringLiteral(",cast(%1 as binary) as passed").arg(passing),
            QStringLiteral("from result r where r.tcode = %1 and %2")
                .arg(SqlValue(race), TimeIsSet(passing))};
}

std::vector<SplitPassing> SplitPointPassingsOf(const ListSnapshot& rows) {
    std::vector<Passed> passed = InPassingOrder(rows);
    std::vector<Passed*> all;
    std::map<QString, std::vector<Passed*>> ofClass;
    for (Passed& p : passed) {
        all.push_back(&p);
        ofClass[p.passing.className].push_back(&p);
    }
    GiveOrders(all, &SplitPassing::order);
    for (const auto& [className, runners] : ofClass)
        GiveOrders(runners, &SplitPassing::classOrder);

    std::vector<SplitPassing> passings;
    passings.reserve(passed.size());
    for (size_t i = 0; i < passed.size(); ++i) {
        passings.push_back(passed[i].passing);
        // Both runners of a dead heat are marked, not only the one who took the other's time.
        passings.back().deadHeat = (i > 0 && passed[i - 1].at == passed[i].at) ||
                                   (i + 1 < passed.size() && passed[i + 1].at == passed[i].at);
    }
    return passings;
}

#pragma once
// The state of a device time of the race in work: "0" pending, "1" used, "2" discarded or
// held for a dead heat, "3" given back (see GivenBackTime.h): it waits for the operator and is
// never offered, as the suite's other programs take only "0" for pending. A time is taken
// only in the state the action expects: one another workstation took meanwhile, or that no
// longer exists, is left as it is.

#include <QJsonObject>
#include <QString>

class RowWrites;
class TQuery;

// The stamp an action takes, as the operator saw it: its row's id once stored, the journal
// id it is stored under (its only name while it waits in this workstation's journal), and
// its time of day. A stamp named by neither is found by its time, with every stamp alike.
struct StampRef {
    qint64 id = 0;
    QString jid;
    QString time;

    bool Named() const { return id != 0 || !jid.isEmpty(); }
    // The same stamp: by id, else by journal id, else by time.
    bool Is(const StampRef& other) const;
    bool operator==(const StampRef&) const = default;
};

inline const QString StampGivenBack = QStringLiteral("3");

QJsonObject StampToJson(const StampRef& stamp);
StampRef StampFromJson(const QJsonObject& object);

// The stamps of that time text in state `from` (in any state when `from` is empty) get
// `to`; gives how many there were.
int MarkTime(RowWrites& writes, const QString& time, const QString& from, const QString& to);
// The stamp itself, by its identity (by its time when it has none). With writes sent
// together, finding none refuses them all with `refusalIfNone`.
int MarkStamp(RowWrites& writes, const StampRef& stamp, const QString& from, const QString& to,
              const QString& refusalIfNone = {});
// Whether a stamp named by its journal id only is in the database yet.
bool StampStored(TQuery& query, const StampRef& stamp);

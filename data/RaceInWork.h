#pragma once
// Opening the race in work: the race the suite has in use (execinfo row 1), its event type
// and name, and the lists of the timing window loaded into the data module.

#include <QString>

class TDm1;

struct RaceInWork {
    QString RaceCode;
    bool Relay = false; // the event's syumoku is "10"
    QString Caption;    // race code, two blanks, race name
};

// Sets uComm::RaceCode and opens Qsttime, Qmidtime, Qmidtime2, Qmax, Qdeltime and Qdpmid
// for it. Database errors are thrown.
RaceInWork OpenRaceInWork(TDm1& dm);

#pragma once
// Opening the race in work: the race the suite has in use (execinfo row 1), its event type
// and name, and the lists of the timing window loaded into the data module.

#include "data/reads/RaceCopyStore.h"

#include <QString>

#include <optional>

class TDm1;

struct RaceInWork {
    QString RaceCode;
    bool Relay = false; // the event's syumoku is "10"
    QString Caption;    // race code, two blanks, race name
};

// Sets uComm::RaceCode and opens Qsttime, Qmidtime, Qmidtime2, Qmax, Qdeltime and Qdpmid
// for it. Database errors are thrown.
RaceInWork OpenRaceInWork(TDm1& dm);

// The same race as a copy kept on the disk has it, while the server does not answer: sets
// uComm::RaceCode and the statements of the lists, which are read once the server answers.
// A copy without a race (none was kept) opens no race: the race code is empty.
RaceInWork OpenRaceFromCopy(TDm1& dm, const RaceCopy& copy);

// The race in work read from the server; when the server does not answer, the race of the
// newest copy kept for the connection's source (a copy without a race when there is none),
// given with it. Errors of a server that answers are thrown.
struct OpenedRace {
    RaceInWork race;
    std::optional<RaceCopyStore::Found> copy; // set when opened from it
};
OpenedRace OpenRaceOrItsCopy(TDm1& dm);

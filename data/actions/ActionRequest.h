#pragma once
// What an operator action asks of the race database, decided when the key was pressed and
// kept in the action journal until the database has it: all the writer needs, nothing it
// must look up again.

#include "data/actions/PendingTimeMark.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

struct ActionRequest {
    enum class Kind {
        None,        // applied where it was done (a check-list edit): nothing left to send
        Split,       // a bib's Enter or Space, or a time given by hand
        Discard,     // "0" Enter
        RelayLeg,    // a team's Enter or Space
        Cancel,      // "取り消し" of one split
        Reset,       // "初期化"
        RelayReset,  // "リレー初期化"
        Undo,        // Ctrl+Z, "元に戻す"
        ForcedStart, // "*2" Enter, "繰上スタート": the next legs of the teams still out
        HandStamp,   // "手入力": a stamp the operator typed, `stamp` as it is to be stored
    };
    Kind kind = Kind::None;
    QString bib; // four digits
    StampRef stamp;
    int number = 0;       // the split or leg written, the split cancelled, the leg forced
    QString runningTime;  // the split's or leg's time
    QString start;        // the competitor's start (a split from 2 on keeps it); the team's;
                          // the forced start
    QString state;        // the stamp's state once taken: "1" used, "2" held
    QString takes;        // the state the stamp must be in: "0", "2", or "" (any, by hand)
    bool usesTime = true; // a relay Space leaves the stamp pending for the dead heat
    int legs = 0;         // the team's class's legs
    QString teamTime;
    QString teamLetter;
    QString passing;             // the cancelled split's time of day
    QString target;              // the action an undo takes back
    QStringList teams;           // the teams a forced start starts
    bool keepsNextStart = false; // a late runner's finish: the next leg was started by force
    bool forcedTeam = false;     // a leg of the team was started by force
    // What a split's or leg's decision read of its bib (see DecisionState.h), and the settings
    // it used: the writer checks the one and decides again with the others. A split or leg
    // of number 0 is a bib this workstation's copy does not know: the server decides it.
    QString read;
    int minimumMinutes = 0;
    bool lastLegToo = false;
    int exchange = 0; // the exchange the relay page stood at

    bool operator==(const ActionRequest&) const = default;
    bool Undecided() const { return (kind == Kind::Split || kind == Kind::RelayLeg) && number == 0; }
};

QJsonObject RequestToJson(const ActionRequest& request);
ActionRequest RequestFromJson(const QJsonObject& object);

#pragma once
// One thing the operator did to the race (a split, a dead heat, a discard, a cancel, an
// assignment by hand, a relay leg, a reset, an undo, a check-list edit): what it asks of the
// database, whether the database has it yet, and every row it changed there, so that it can
// be listed and taken back.

#include "data/actions/ActionRequest.h"
#include "data/sql/RowChange.h"

#include <QDateTime>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <deque>
#include <vector>

// The page an action was taken on: each page takes back its own actions. The check list
// belongs to the lap page it is opened from.
enum class ActionPage { Lap, Relay };

struct OperatorAction {
    enum class Progress {
        Waiting, // in the journal, not yet in the database
        Applied, // in the database: `changes` holds what it changed
        Refused, // the database would not take it: `refusal` says why
    };
    QString id;
    QString raceCode;
    QDateTime at;
    ActionPage page = ActionPage::Lap;
    QString bib;  // four digits; empty for an action on no one (a discard, a reset)
    QString what; // as the operator reads it: "中間1  1:20:02.0  10:20:02.0000"
    std::vector<RowChange> changes;
    // The suite's change marker is written when the action is taken back too.
    bool marksChange = false;
    bool undone = false;
    ActionRequest request;
    Progress progress = Progress::Applied;
    QString refusal;
};

// "周回計測", "リレー計測": the pages' own captions.
QString PageName(ActionPage page);

// The actions an undo still waiting to be sent takes back: they come to nothing, whatever
// the server has of them yet.
QSet<QString> TakenBackByWaitingUndos(const std::deque<OperatorAction>& actions);

QJsonObject ActionToJson(const OperatorAction& action);
OperatorAction ActionFromJson(const QJsonObject& object);

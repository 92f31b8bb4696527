#pragma once
// One thing the operator did that changed the race (a split, a dead heat, a discard, a
// cancel, an assignment by hand, a relay leg, a reset, a check-list edit), with every row it
// changed, so that it can be listed and taken back.

#include "data/RowChange.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <vector>

// The page an action was taken on: each page takes back its own actions. The check list
// belongs to the lap page it is opened from.
enum class ActionPage { Lap, Relay };

struct OperatorAction {
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
};

// "周回計測", "リレー計測": the pages' own captions.
QString PageName(ActionPage page);

QJsonObject ActionToJson(const OperatorAction& action);
OperatorAction ActionFromJson(const QJsonObject& object);

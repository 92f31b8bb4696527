#pragma once
// What the key presses of the race in work are decided from: every competitor's start,
// splits and class limit, every relay team's legs. Loaded when the timing window opens, it
// takes this workstation's own key presses as they are decided, and rows as the server holds
// them whenever the server has answered for them. A key press never asks the server.

#include "data/RelayRecorder.h"
#include "data/SplitRecorder.h"

#include <QHash>

class TDatabase;
class TQuery;

class RaceCache {
public:
    // The race's competitors, classes and relay legs, read whole.
    void Load(TQuery& reading);

    // An unregistered competitor or team when the race has no such bib.
    CompetitorSplits Competitor(const QString& zek) const;
    RelayTeam Team(const QString& zek) const;

    // This workstation's own key presses, as decided.
    void ExpectSplit(const QString& zek, int n, const QString& splitTime, const QString& passing);
    void ExpectNoSplit(const QString& zek, int n);
    void ExpectLeg(const QString& zek, int leg, const QString& finish);

    // The rows of a bib as the server holds them now.
    void Reload(TDatabase& database, const QString& zek);

private:
    QHash<QString, CompetitorSplits> competitors_;
    QHash<QString, RelayTeam> teams_;
};

#pragma once
// What the key presses of the race in work are decided from: every competitor's start,
// splits and class limit, every relay team's legs. Loaded when the timing window opens, it
// takes this workstation's own key presses as they are decided, and rows as the server holds
// them whenever the server has answered for them. A key press never asks the server.

#include "data/OperatorAction.h"
#include "data/RelayRecorder.h"
#include "data/SplitRecorder.h"

#include <QHash>

#include <deque>

class TQuery;

// What a reset of the race would clear.
struct SplitsOfRace {
    int splits = 0;      // split times written
    int competitors = 0; // competitors with at least one
};

class RaceCache {
public:
    // The race's competitors, classes and relay legs, read whole.
    void Load(TQuery& reading);
    // The competitors who passed split point `split` last, and the relay teams whose legs
    // finished last, as the server holds them: read with the lists, they bring what other
    // workstations recorded. What this workstation knows stays: its own actions may be newer
    // than the read.
    static QStringList RecentCompetitorsStatement(int split);
    static QStringList RecentTeamsStatement();
    void FillCompetitors(const TQuery& rows);
    void FillTeams(const TQuery& rows);

    // An unregistered competitor or team when the race has no such bib.
    CompetitorSplits Competitor(const QString& zek) const;
    RelayTeam Team(const QString& zek) const;

    // What a reset would erase, as this workstation knows the race.
    SplitsOfRace CountSplits() const;
    int FinishedLegs() const;

    // This workstation's own key presses, as decided.
    void ExpectSplit(const QString& zek, int n, const QString& splitTime, const QString& passing);
    void ExpectNoSplit(const QString& zek, int n);
    void ExpectLeg(const QString& zek, int leg, const QString& finish);
    void ExpectForcedStart(const QStringList& zeks, int leg, const QString& start);

    // The teams a forced start at exchange `exchange` starts: of class `teamClass` (of every
    // class when empty), started, and with the leg after that exchange not started.
    QStringList TeamsToForce(int exchange, const QString& teamClass) const;
    // The race's classes of more than one leg.
    QStringList RelayClasses() const;

    // The rows of some bibs as the server holds them now, read with the lists: the
    // statements, and their rows. A team's rows say which legs were started by force.
    static QStringList CompetitorsStatement(const QStringList& zeks);
    static QStringList TeamsStatement(const QStringList& zeks);
    void Replace(const QStringList& zeks, const TQuery& competitorRows, const TQuery& teamRows);
    // This workstation's actions on the race in work that the server has not taken yet (kept
    // in the journal, through a restart too), over rows read from the server: of one bib, or
    // of every bib when `zek` is empty.
    void ExpectWaiting(const std::deque<OperatorAction>& actions, const QString& zek = {});

private:
    static constexpr int RecentRows = 100;
    QHash<QString, int> lapn_;
    QHash<QString, int> relayn_;
    QHash<QString, CompetitorSplits> competitors_;
    QHash<QString, RelayTeam> teams_;
};

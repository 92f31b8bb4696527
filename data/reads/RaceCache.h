#pragma once
// What the key presses of the race in work are decided from: every competitor's start,
// splits and class limit, every relay team's legs. Loaded when the timing window opens, it
// takes this workstation's own key presses as they are decided, the rows of the bibs the
// change list names as changed by any workstation, the rows the writer found when a key
// press's copy was stale, and the whole race read again now and then. A key press never asks
// the server: the writer checks what it was decided from.

#include "data/actions/OperatorAction.h"
#include "data/actions/RelayDecision.h"
#include "data/actions/SplitDecision.h"

#include <QHash>

class QDataStream;

#include <deque>

class TQuery;

// What a reset of the race would clear.
struct SplitsOfRace {
    int splits = 0;      // split times written
    int competitors = 0; // competitors with at least one
};

class RaceCache {
public:
    // The race's classes, then its competitors and relay legs, read whole.
    void Load(TQuery& reading);
    static QStringList ClassLimitsStatement();
    void TakeClassLimits(const TQuery& rows);
    static QStringList WholeCompetitorsStatement();
    static QStringList WholeTeamsStatement();
    // The race as those two statements read it, in place of all that was known.
    void TakeWhole(const TQuery& competitorRows, const TQuery& teamRows);
    // The rows of the bibs the change list names after number `seen` (see ChangeList.h).
    static QStringList ChangedCompetitorsStatement(qint64 seen, qint64 wholeSeen);
    static QStringList ChangedTeamsStatement(qint64 seen, qint64 wholeSeen);
    // Rows as the server holds them, in place of what was known of their bibs.
    void Take(const TQuery& competitorRows, const TQuery& teamRows);
    // A bib as the writer found it on the server (see DecisionState.h).
    void TakeState(const ActionRequest& request, const QString& state);

    // An unregistered competitor or team when the race has no such bib.
    CompetitorSplits Competitor(const QString& zek) const;
    RelayTeam Team(const QString& zek) const;

    // What a reset would erase, as this workstation knows the race.
    SplitsOfRace CountSplits() const;
    int FinishedLegs() const;

    // This workstation's own key press, as decided or applied.
    void Expect(const ActionRequest& request);
    // The same taken back (an undo): the split or leg no longer expected.
    void Unexpect(const ActionRequest& request);
    void ExpectLegUndone(const QString& zek, int leg, const QString& finish);
    void ExpectSplit(const QString& zek, int n, const QString& splitTime, const QString& passing);
    void ExpectNoSplit(const QString& zek, int n);
    void ExpectLeg(const QString& zek, int leg, const QString& finish);
    void ExpectForcedStart(const QStringList& zeks, int leg, const QString& start);
    // A reset of the lap page, of the relay page.
    void ExpectNoSplits();
    void ExpectNoLegs();

    // The teams a forced start at exchange `exchange` starts: of class `teamClass` (of every
    // class when empty), started, and with the leg after that exchange not started.
    QStringList TeamsToForce(int exchange, const QString& teamClass) const;
    // The race's classes of more than one leg.
    QStringList RelayClasses() const;
    // The legs of the race's longest relay class; 0 without one.
    int MostLegs() const;

    // The rows of some bibs as the server holds them now, read with the lists: the
    // statements, and their rows. A team's rows say which legs were started by force.
    // This workstation's actions on the race in work that the server has not taken yet (kept
    // in the journal, through a restart too), over rows read from the server: of one bib, or
    // of every bib when `zek` is empty.
    void ExpectWaiting(const std::deque<OperatorAction>& actions, const QString& zek = {});

    // The copy kept on the disk (RaceCopy.h).
    friend QDataStream& operator<<(QDataStream& out, const RaceCache& cache);
    friend QDataStream& operator>>(QDataStream& in, RaceCache& cache);

private:
    QHash<QString, int> lapn_;
    QHash<QString, int> relayn_;
    QHash<QString, CompetitorSplits> competitors_;
    QHash<QString, RelayTeam> teams_;
};

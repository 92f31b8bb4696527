#pragma once
// One workstation's operator actions on a race database, without its window: each key press
// decided by the page's session from the race copy, each cancel, reset and undo built as the
// window builds it, and every action applied at once by the action applier on the test's own
// connection, as the writer thread would apply it. The copy follows what came of each action
// as the window makes it follow.

#include "data/actions/ActionApplier.h"
#include "data/reads/RaceCache.h"
#include "data/sql/TQuery.h"
#include "timing/session/LapSession.h"
#include "timing/session/RelaySession.h"

#include <deque>
#include <optional>

class TestDatabase;

// What came of one action: the key press as the window shows it, and the applier's outcome
// (none when the press was refused and nothing was sent).
struct AppliedAction {
    KeyPressResult press;
    OperatorAction action; // as the history keeps it: as applied, when decided again
    std::optional<ApplyOutcome> outcome;

    bool Applied() const { return outcome && outcome->result == ApplyOutcome::Result::Applied; }
    // The press's refusal, else the applier's; empty when applied.
    QString Refusal() const;
};

class PressAndApply {
public:
    explicit PressAndApply(TDatabase& database);

    // The race in work (uComm::RaceCode) read whole, as the window reads it when it opens:
    // before the first action, once the test has laid the race out.
    void Load();

    AppliedAction Lap(const QString& box, BibKey key, const StampRef& head,
                      const QString& minutesBox = QStringLiteral("5"));
    // A time in any state given to a bib by hand.
    AppliedAction Assign(const QString& bib, const StampRef& stamp,
                         const QString& minutesBox = QStringLiteral("5"));
    AppliedAction Relay(const QString& box, BibKey key, const StampRef& head,
                        bool lastLegToo = false, const QString& minutesBox = QStringLiteral("5"));
    // "取り消し" of split n of zek, written at `passing`.
    AppliedAction Cancel(const QString& zek, int n, const QString& passing);
    // "初期化" of the lap page, "リレー初期化" of the relay page.
    AppliedAction Reset();
    AppliedAction RelayReset();
    // Ctrl+Z on the page: its newest action not yet taken back (the test fails when there is
    // none).
    AppliedAction Undo(ActionPage page);

    const RaceCache& Cache() const { return cache_; }

    // The stamp of that time as the panel names it: by its row's id.
    static StampRef Stored(const TestDatabase& db, const QString& time);

private:
    AppliedAction Pressed(ActionPage page, const KeyPressResult& press);
    AppliedAction Send(ActionPage page, const QString& bib, const QString& what,
                       const ActionRequest& request, bool marksChange = false);
    // The copy follows what came of the action, as the window's answers make it.
    void Follow(const ActionRequest& sent, const ApplyOutcome& outcome);

    TQuery reading_;
    RaceCache cache_;
    LapSession lap_{cache_};
    RelaySession relay_{cache_};
    ActionApplier applier_;
    std::deque<OperatorAction> history_;
};

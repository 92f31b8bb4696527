#include "data/actions/ActionApplier.h"

#include "data/actions/BlockWrites.h"
#include "data/actions/CapturedWrites.h"
#include "data/actions/ChangeList.h"
#include "data/actions/DecideAgain.h"
#include "data/actions/ExecInfo.h"
#include "data/actions/ForcedStartTable.h"
#include "data/actions/HandStamp.h"
#include "data/actions/RelayDecision.h"
#include "data/actions/SplitCorrections.h"
#include "data/actions/SplitDecision.h"
#include "data/actions/TakenStamp.h"
#include "data/actions/UndoChanges.h"
#include "data/rules/SplitRules.h"
#include "data/sql/DatabaseError.h"
#include "data/sql/RunStatement.h"
#include "data/sql/StatementLines.h"
#include "data/sql/Transaction.h"

namespace {

// ER_DUP_ENTRY: the action's id is in midaction already.
const QString DuplicateKey = QStringLiteral("1062");
// ER_NO_SUCH_TABLE: a race database made before midaction.
const QString NoSuchTable = QStringLiteral("1146");

const QString RelayTimeTaken =
    QStringLiteral("この時刻は他の端末で処理されたか、削除されました。記録しませんでした。");

// A key press is decided again at most this often before the operator is asked to look.
constexpr int MaxDecisions = 3;

const QString KeptChangingMessage =
    QStringLiteral("他の端末での変更が続いたため記録できませんでした。もう一度入力してください。");

using Kind = ActionRequest::Kind;

ApplyOutcome Refused(const QString& why) {
    ApplyOutcome outcome;
    outcome.result = ApplyOutcome::Result::Refused;
    outcome.refusal = why;
    return outcome;
}

bool Decides(Kind kind) {
    return kind == Kind::Split || kind == Kind::RelayLeg;
}

// The bibs an action's changes touched, each once.
QStringList BibsOf(const std::vector<RowChange>& changes) {
    QStringList bibs;
    for (const RowChange& change : changes)
        if (const QString zek = change.KeyText(QStringLiteral("zek"));
            !zek.isEmpty() && !bibs.contains(zek))
            bibs << zek;
    return bibs;
}

const OperatorAction* FindAction(const std::deque<OperatorAction>& history, const QString& id) {
    for (const OperatorAction& action : history)
        if (action.id == id)
            return &action;
    return nullptr;
}

} // namespace

ActionApplier::ActionApplier(TDatabase& database)
    : database_(database), writing_(database, QStringLiteral("ActionWriting")),
      reading_(database, QStringLiteral("ActionReading")) {}

ApplyOutcome ActionApplier::Apply(const OperatorAction& action,
                                  const std::deque<OperatorAction>& history) {
    // A typed stamp is this action's own to store.
    if (action.request.kind != Kind::HandStamp && StampAwaited(action.request.stamp))
        return {ApplyOutcome::Result::Waiting, {}, {}, {}, {}, {}, {}};
    // The race of the action, whatever race the window shows now.
    const StatementRaceScope race(action.raceCode);
    EnsureOwnTables();
    if (!EnsureForcedStarts(action.request.kind))
        return Refused(NoForcedStartTableMessage);
    if (Decides(action.request.kind))
        return ApplyDecision(action);
    return Try(action, action.request, history).outcome;
}

ApplyOutcome ActionApplier::ApplyDecision(const OperatorAction& action) {
    ActionRequest request = action.request;
    std::optional<QString> state;
    const auto told = [&](ApplyOutcome outcome) {
        outcome.state = state;
        if (!(request == action.request))
            outcome.decided = request;
        if (outcome.result == ApplyOutcome::Result::Applied)
            outcome.note = ChangedDecisionNote(action.request, request);
        return outcome;
    };
    for (int decision = 0; decision <= MaxDecisions; ++decision) {
        // A bib the workstation did not know is decided from the server's rows first.
        if (!request.Undecided()) {
            Tried tried = Try(action, request, {});
            if (!tried.changedState)
                return told(std::move(tried.outcome));
            state = tried.changedState;
        } else {
            state = ReadState(request);
        }
        const DecidedAgain again = DecideAgain(request, *state);
        if (!again.request)
            return told(Refused(again.refusal));
        request = *again.request;
    }
    return told(Refused(KeptChangingMessage));
}

ActionApplier::Tried ActionApplier::Try(const OperatorAction& action,
                                        const ActionRequest& request,
                                        const std::deque<OperatorAction>& history) {
    if (claims_ && SentAsOneBlock(request.kind))
        return SendBlock(action, request);
    Transaction transaction(database_);
    if (!Claim(action))
        return {}; // applied before its answer was lost
    Tried tried = Write(action, request, history);
    if (tried.outcome.result == ApplyOutcome::Result::Applied && !tried.changedState)
        transaction.Commit();
    return tried;
}

QString ActionApplier::ReadState(const ActionRequest& request) {
    // Read and let go: the key press is sent, checked, once decided.
    Transaction transaction(database_);
    CapturedWrites reads(reading_);
    reads.Guard(DecisionReadStatements(request), {});
    return reads.GuardedStates().value(0);
}

bool ActionApplier::SentAsOneBlock(ActionRequest::Kind kind) {
    return kind == Kind::Split || kind == Kind::Discard || kind == Kind::RelayLeg ||
           kind == Kind::ForcedStart;
}

bool ActionApplier::EnsureForcedStarts(ActionRequest::Kind kind) {
    if (forcedStartsTable_ || (kind != Kind::ForcedStart && kind != Kind::RelayReset))
        return true;
    forcedStartsTable_ = EnsureForcedStartTable(reading_);
    // A reset has nothing of forced starts to clear where their table cannot be.
    return forcedStartsTable_ || kind == Kind::RelayReset;
}

ActionApplier::Tried ActionApplier::SendBlock(const OperatorAction& action,
                                              const ActionRequest& request) {
    BlockWrites block;
    WriteKeyPress(block, request, action.id);
    try {
        const BlockWrites::Outcome sent = block.Send(database_, action.id, action.raceCode);
        if (sent.appliedBefore)
            return {};
        if (sent.changedMeanwhile)
            return {{}, block.GuardedStates().value(0)};
        if (!sent.refusal.isEmpty())
            return {Refused(sent.refusal), {}};
    } catch (const DatabaseError& error) {
        // A database made before midaction: one statement at a time, without the claim.
        if (error.nativeCode() != NoSuchTable)
            throw;
        claims_ = false;
        return Try(action, request, {});
    }
    ApplyOutcome applied;
    applied.changes = block.Changes();
    return {applied, {}};
}

QString ActionApplier::WriteKeyPress(RowWrites& writes, const ActionRequest& request,
                                     const QString& actionId) {
    // First: read one statement at a time, a changed row needs no further writes.
    GuardDecision(writes, request);
    if (!writes.GuardsHeld())
        return {};
    switch (request.kind) {
    case Kind::Split: {
        const QString refusal = WriteSplit(writes, request);
        ListChange(writes, {request.bib});
        return refusal;
    }
    case Kind::Discard:
        // "0" Enter takes a pending stamp; a discard by hand the given-back one it names.
        if (MarkStamp(writes, request.stamp,
                      request.takes.isEmpty() ? QStringLiteral("0") : request.takes,
                      QStringLiteral("2"), TimeGoneMessage) == 0)
            return TimeGoneMessage;
        return {};
    case Kind::RelayLeg: {
        const QString refusal = WriteRelayFinish(writes, request);
        if (!refusal.isEmpty())
            return refusal;
        ListChange(writes, {request.bib});
        // Space leaves the stamp pending, but only one still pending will do: "0" to "0"
        // finds it without changing it.
        if (MarkStamp(writes, request.stamp, QStringLiteral("0"),
                      request.usesTime ? QStringLiteral("1") : QStringLiteral("0"),
                      RelayTimeTaken) == 0)
            return RelayTimeTaken;
        return {};
    }
    case Kind::ForcedStart:
        ListChange(writes, request.teams);
        return WriteForcedStart(writes, request.teams, request.number, request.start, request.stamp,
                                actionId);
    default:
        return {};
    }
}

void ActionApplier::ListChange(RowWrites& writes, const QStringList& zeks) {
    if (ChangeListKept())
        writes.Statement(ChangeListLines(zeks));
}

void ActionApplier::EnsureOwnTables() {
    if (ownTablesChecked_)
        return;
    EnsureChangeListTable(reading_);
    EnsureTakenStampTable(reading_);
    ownTablesChecked_ = true;
}

bool ActionApplier::StampAwaited(const StampRef& stamp) {
    if (stamp.id != 0 || stamp.jid.isEmpty())
        return false;
    // Asked before the server: a stamp stored meanwhile has left the stamp journal by then.
    const bool held = !stampHeld_ || stampHeld_(stamp.jid);
    if (StampStored(reading_, stamp))
        return false;
    if (held)
        return true;
    // Held in memory only when the program ended: it never comes, and waiting for it would
    // hold up every action behind this one.
    throw DatabaseError(QStringLiteral("タイム %1 は保存されないまま失われました"
                                       "（この端末の日誌にもサーバーにもありません）。")
                            .arg(stamp.time.trimmed()));
}

bool ActionApplier::Claim(const OperatorAction& action) {
    if (!claims_)
        return true;
    try {
        RunStatement(writing_,
                     {QStringLiteral("insert into midaction (aid, tcode, done) values ("),
                      SqlValueList({action.id, action.raceCode}) + QStringLiteral(", now())")});
    } catch (const DatabaseError& error) {
        if (error.nativeCode() == DuplicateKey)
            return false;
        if (error.nativeCode() != NoSuchTable)
            throw;
        // Without the table an action is applied all the same; one whose answer was lost may
        // then be refused as written by another workstation when it is sent again.
        claims_ = false;
    }
    return true;
}

ActionApplier::Tried ActionApplier::Write(const OperatorAction& action,
                                          const ActionRequest& request,
                                          const std::deque<OperatorAction>& history) {
    ApplyOutcome outcome;
    // A cancel's statements go to the statement log, as they are sent.
    CapturedWrites writes(writing_, [&](const QStringList& shown) {
        if (request.kind == Kind::Cancel)
            outcome.shown << shown.join(QLatin1Char('\n'));
    });
    switch (request.kind) {
    case Kind::None:
        break;
    case Kind::Split:
    case Kind::Discard:
    case Kind::RelayLeg:
    case Kind::ForcedStart:
        outcome.refusal = WriteKeyPress(writes, request, action.id);
        if (!writes.GuardsHeld())
            return {{}, writes.GuardedStates().value(0)};
        break;
    case Kind::Cancel: {
        const CancelOutcome cancel =
            WriteCancel(writes, reading_, request.bib, request.number, request.passing);
        if (!cancel.cancelled)
            outcome.refusal =
                QStringLiteral(
                    "ビブNo.%1 の中間%2 は他の端末で変更されました。取り消していません。")
                    .arg(request.bib)
                    .arg(request.number);
        else if (cancel.timeStillHeld)
            outcome.note = QStringLiteral("時刻 %1 は同着の他の選手の記録にも使われているため、"
                                          "処理待ちには戻していません。")
                               .arg(request.passing);
        // Bookkeeping of the program's own, not a statement of the cancel the log shows.
        CapturedWrites unlogged(writing_);
        ListChange(unlogged, {request.bib});
        break;
    }
    case Kind::HandStamp:
        WriteHandStamp(writes, reading_, request.stamp);
        break;
    case Kind::Reset:
        WriteReset(writes);
        ListChange(writes, {});
        break;
    case Kind::RelayReset:
        WriteRelayReset(writes);
        ListChange(writes, {});
        break;
    case Kind::Undo: {
        const OperatorAction* target = FindAction(history, request.target);
        // Sent in order: an action the server refused has nothing to take back.
        if (target && target->progress == OperatorAction::Progress::Refused)
            return {outcome, {}};
        if (!target || target->progress != OperatorAction::Progress::Applied)
            return {Refused(QStringLiteral("元に戻す操作がデータベースに届いていません。")), {}};
        const int blocking = TakeBackChanges(writing_, target->changes);
        if (blocking >= 0)
            return {Refused(WhoseChange(history, *target, target->changes[blocking])), {}};
        // Rows of no bib (a discard's stamp) change no copy; many bibs are the whole race.
        if (const QStringList bibs = BibsOf(target->changes); !bibs.isEmpty())
            ListChange(writes, bibs.size() > 50 ? QStringList{} : bibs);
        // The suite's other programs learn of the undo as of the action.
        if (target->marksChange)
            update_execinfo(writing_, QStringLiteral("C1"));
        return {outcome, {}};
    }
    }
    if (!outcome.refusal.isEmpty())
        return {Refused(outcome.refusal), {}};
    outcome.changes = writes.Changes();
    return {outcome, {}};
}

QString WhoseChange(const std::deque<OperatorAction>& history, const OperatorAction& action,
                    const RowChange& blocking) {
    const QString row = RowDescription(blocking);
    bool later = false;
    for (const OperatorAction& other : history) {
        if (other.id == action.id) {
            later = true;
            continue;
        }
        if (!later || other.undone)
            continue;
        for (const RowChange& change : other.changes) {
            if (change.SameRow(blocking))
                return QStringLiteral("この端末の後の操作（%1 %2 %3）が%4を変更しています。"
                                      "先にその操作を元に戻してください。")
                    .arg(PageName(other.page), other.bib, other.what, row);
        }
    }
    return QStringLiteral("%1は他の端末で変更されたため、元に戻せません。").arg(row);
}

QString RowDescription(const RowChange& change) {
    // A row the action added or removed is known by its cells.
    const QStringList& values = change.after.isEmpty() ? change.before : change.after;
    const auto value = [&](const char* column) {
        return TextOfHex(values.value(change.columns.indexOf(QLatin1String(column)))).trimmed();
    };
    if (change.table == QLatin1String("relaymember"))
        return QStringLiteral("チームNo.%1 の%2走")
            .arg(change.KeyText(QStringLiteral("zek")), change.KeyText(QStringLiteral("num")));
    if (change.table == QLatin1String("result"))
        return QStringLiteral("ビブNo.%1 の記録").arg(change.KeyText(QStringLiteral("zek")));
    if (change.table == QLatin1String("tdc_mid"))
        return QStringLiteral("時刻 %1 のタイム")
            .arg(change.KeyText(QStringLiteral("tm")).trimmed());
    if (change.table == QLatin1String("midjyun"))
        return QStringLiteral("通過記録 %1 %2").arg(value("bib"), value("tod"));
    if (change.table == ForcedStartTable)
        return QStringLiteral("チームNo.%1 の%2走の繰上スタート").arg(value("zek"), value("leg"));
    return change.table;
}

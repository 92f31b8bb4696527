#include "data/ActionApplier.h"

#include "data/BlockWrites.h"
#include "data/CapturedWrites.h"
#include "data/DatabaseError.h"
#include "data/ExecInfo.h"
#include "data/ForcedStartTable.h"
#include "data/RelayRecorder.h"
#include "data/RunStatement.h"
#include "data/SplitCorrections.h"
#include "data/SplitRecorder.h"
#include "data/SplitRules.h"
#include "data/StatementLines.h"
#include "data/Transaction.h"
#include "data/UndoChanges.h"

namespace {

// ER_DUP_ENTRY: the action's id is in midaction already.
const QString DuplicateKey = QStringLiteral("1062");
// ER_NO_SUCH_TABLE: a race database made before midaction.
const QString NoSuchTable = QStringLiteral("1146");

const QString RelayTimeTaken =
    QStringLiteral("この時刻は他の端末で処理されたか、削除されました。記録しませんでした。");

using Kind = ActionRequest::Kind;

ApplyOutcome Refused(const QString& why) {
    return {ApplyOutcome::Result::Refused, why, {}, {}, {}};
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
    if (StampAwaited(action.request.stamp))
        return {ApplyOutcome::Result::Waiting, {}, {}, {}, {}};
    // The race of the action, whatever race the window shows now.
    const StatementRaceScope race(action.raceCode);
    if (!EnsureForcedStarts(action.request.kind))
        return Refused(NoForcedStartTableMessage);
    if (claims_ && SentAsOneBlock(action.request.kind))
        return SendBlock(action);
    Transaction transaction(database_);
    if (!Claim(action))
        return {}; // applied before its answer was lost
    ApplyOutcome outcome = Write(action, history);
    if (outcome.result == ApplyOutcome::Result::Applied)
        transaction.Commit();
    return outcome;
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

ApplyOutcome ActionApplier::SendBlock(const OperatorAction& action) {
    BlockWrites block;
    WriteKeyPress(block, action.request, action.id);
    try {
        const BlockWrites::Outcome sent = block.Send(database_, action.id, action.raceCode);
        if (sent.appliedBefore)
            return {};
        if (!sent.refusal.isEmpty())
            return Refused(sent.refusal);
    } catch (const DatabaseError& error) {
        // A database made before midaction: one statement at a time, without the claim.
        if (error.nativeCode() != NoSuchTable)
            throw;
        claims_ = false;
        return Apply(action, {});
    }
    return {ApplyOutcome::Result::Applied, {}, block.Changes(), {}, {}};
}

QString ActionApplier::WriteKeyPress(RowWrites& writes, const ActionRequest& request,
                                     const QString& actionId) {
    switch (request.kind) {
    case Kind::Split: {
        SplitOutcome decided;
        decided.split = request.number;
        decided.splitTime = request.runningTime;
        return WriteSplit(
            writes,
            {request.bib, request.stamp.time, request.state, 0, request.takes, request.stamp},
            request.start, decided);
    }
    case Kind::Discard:
        if (MarkStamp(writes, request.stamp, QStringLiteral("0"), QStringLiteral("2"),
                      TimeGoneMessage) == 0)
            return TimeGoneMessage;
        return {};
    case Kind::RelayLeg: {
        RelayOutcome decided;
        decided.leg = request.number;
        decided.legs = request.legs;
        decided.legTime = request.runningTime;
        decided.teamTime = request.teamTime;
        decided.teamLetter = request.teamLetter;
        decided.keepsNextStart = request.keepsNextStart;
        const QString refusal = WriteRelayFinish(writes, request.bib, decided, request.stamp.time);
        if (!refusal.isEmpty())
            return refusal;
        // Space leaves the stamp pending, but only one still pending will do: "0" to "0"
        // finds it without changing it.
        if (MarkStamp(writes, request.stamp, QStringLiteral("0"),
                      request.usesTime ? QStringLiteral("1") : QStringLiteral("0"),
                      RelayTimeTaken) == 0)
            return RelayTimeTaken;
        return {};
    }
    case Kind::ForcedStart:
        return WriteForcedStart(writes, request.teams, request.number, request.start, request.stamp,
                                actionId);
    default:
        return {};
    }
}

bool ActionApplier::StampAwaited(const StampRef& stamp) {
    return stamp.id == 0 && !stamp.jid.isEmpty() && !StampStored(reading_, stamp);
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

ApplyOutcome ActionApplier::Write(const OperatorAction& action,
                                  const std::deque<OperatorAction>& history) {
    const ActionRequest& request = action.request;
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
        break;
    }
    case Kind::Reset:
        WriteReset(writes);
        break;
    case Kind::RelayReset:
        WriteRelayReset(writes);
        break;
    case Kind::Undo: {
        const OperatorAction* target = FindAction(history, request.target);
        if (!target || target->progress != OperatorAction::Progress::Applied)
            return Refused(QStringLiteral("元に戻す操作がデータベースに届いていません。"));
        const int blocking = TakeBackChanges(writing_, target->changes);
        if (blocking >= 0)
            return Refused(WhoseChange(history, *target, target->changes[blocking]));
        // The suite's other programs learn of the undo as of the action.
        if (target->marksChange)
            update_execinfo(writing_, QStringLiteral("C1"));
        return outcome;
    }
    }
    if (!outcome.refusal.isEmpty())
        return Refused(outcome.refusal);
    outcome.changes = writes.Changes();
    return outcome;
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

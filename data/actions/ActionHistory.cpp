#include "data/actions/ActionHistory.h"

#include "common/uComm.h"
#include "data/actions/ActionWriter.h"
#include "data/actions/GivenBackTime.h"

#include <QUuid>

namespace {

bool Waits(const OperatorAction& action) {
    return action.progress == OperatorAction::Progress::Waiting;
}

} // namespace

ActionHistory::ActionHistory(const TDatabase& database, const QString& folder,
                             StampHeld stampHeld, JournalFile::SyncFile sync, QObject* parent)
    : QObject(parent), lock_(folder, QStringLiteral("actions"), database.SourceName()),
      journal_(std::make_shared<SharedActionJournal>(lock_.JournalPath(), sync)),
      writer_(new ActionWriter(database.CurrentSource(), journal_, std::move(stampHeld))) {
    thread_.setObjectName(QStringLiteral("action writer"));
    writer_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, writer_, &QObject::deleteLater);
    connect(writer_, &ActionWriter::Applied, this,
            [this](const QString& id, const QString& note, const QStringList& shown) {
                CountWaiting();
                if (const auto action = Find(id))
                    emit Applied(*action, note, shown);
                emit Changed();
            });
    connect(writer_, &ActionWriter::Refused, this, [this](const QString& id) {
        CountWaiting();
        if (const auto action = Find(id))
            emit Refused(*action);
        emit Changed();
    });
    connect(writer_, &ActionWriter::StateRead, this,
            [this](const QString& id, const QString& state) {
                if (const auto action = Find(id))
                    emit StateRead(*action, state);
            });
    connect(writer_, &ActionWriter::Problem, this, [this](const QString& problem) {
        writerProblem_ = problem;
        emit Changed();
    });
    thread_.start();
    CountWaiting();
    if (waiting_ > 0)
        writer_->Wake();
}

ActionHistory::~ActionHistory() {
    writer_->RequestStop();
    thread_.quit();
    thread_.wait();
}

OperatorAction ActionHistory::Submit(OperatorAction action) {
    action.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    action.at = QDateTime::currentDateTime();
    action.raceCode = uComm::RaceCode;
    action.progress = action.request.kind == ActionRequest::Kind::None
                          ? OperatorAction::Progress::Applied
                          : OperatorAction::Progress::Waiting;
    // Kept in memory when the disk fails, and sent all the same: Problem tells the operator.
    journal_->Append(action);
    if (Waits(action)) {
        // Counted anew only for an undo, which gives a stamp back; a key press adds one, and
        // copying the journal would cost every key press.
        if (action.request.kind == ActionRequest::Kind::Undo) {
            CountWaiting();
        } else {
            if (waiting_++ == 0)
                oldestWaiting_ = action.at;
            if (TakesStamp(action.request))
                taken_.push_back(action.request.stamp);
            else if (action.request.kind == ActionRequest::Kind::HandStamp)
                added_.push_back(action.request.stamp);
        }
        writer_->Wake();
    }
    emit Changed();
    return action;
}

void ActionHistory::CountWaiting() {
    waiting_ = 0;
    taken_.clear();
    added_.clear();
    const std::deque<OperatorAction> actions = journal_->Actions();
    // An action whose undo waits gives its stamp back at once: the undo follows it to the
    // server, and the panel shows what the two come to.
    const QSet<QString> takenBack = TakenBackByWaitingUndos(actions);
    for (const OperatorAction& action : actions) {
        // A typed stamp whose undo waits is gone for this workstation already.
        if (action.request.kind == ActionRequest::Kind::HandStamp && takenBack.contains(action.id))
            taken_.push_back(action.request.stamp);
        if (!Waits(action))
            continue;
        if (waiting_++ == 0)
            oldestWaiting_ = action.at;
        if (takenBack.contains(action.id))
            continue;
        if (TakesStamp(action.request))
            taken_.push_back(action.request.stamp);
        else if (action.request.kind == ActionRequest::Kind::HandStamp)
            added_.push_back(action.request.stamp);
    }
}

std::vector<StampRef> ActionHistory::TakenStamps() const {
    return taken_;
}

qint64 ActionHistory::OldestWaitingSeconds() const {
    return waiting_ == 0 ? 0 : oldestWaiting_.secsTo(QDateTime::currentDateTime());
}

std::optional<OperatorAction> ActionHistory::Find(const QString& id) const {
    for (const OperatorAction& action : journal_->Actions())
        if (action.id == id)
            return action;
    return std::nullopt;
}

std::optional<OperatorAction> ActionHistory::LastUndoable(ActionPage page) const {
    const std::deque<OperatorAction> actions = journal_->Actions();
    QSet<QString> takenBack;
    for (const OperatorAction& action : actions)
        if (action.request.kind == ActionRequest::Kind::Undo &&
            action.progress != OperatorAction::Progress::Refused)
            takenBack.insert(action.request.target);
    for (auto it = actions.rbegin(); it != actions.rend(); ++it) {
        if (it->page == page && !it->undone && it->raceCode == uComm::RaceCode &&
            it->request.kind != ActionRequest::Kind::Undo &&
            it->progress != OperatorAction::Progress::Refused && !takenBack.contains(it->id))
            return *it;
    }
    return std::nullopt;
}

UndoOutcome ActionHistory::UndoLast(ActionPage page) {
    const std::optional<OperatorAction> last = LastUndoable(page);
    if (!last)
        return {false, {}, QStringLiteral("%1で元に戻せる操作はありません。").arg(PageName(page))};
    OperatorAction undo;
    undo.page = page;
    undo.bib = last->bib;
    undo.what = QStringLiteral("元に戻す: ") + last->what;
    undo.request.kind = ActionRequest::Kind::Undo;
    undo.request.target = last->id;
    Submit(undo);
    return {true, *last, {}};
}

QString ActionHistory::Problem() const {
    return lock_.Held() ? journal_->Problem() : lock_.Problem();
}

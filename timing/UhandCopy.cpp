// The window's copy of the race on the disk: written as the window reads the race from the
// server, and the race opened from it when a window opens while the server does not answer.
// Then the device's stamps go to their journal and the key presses to theirs, decided from
// the copy, and both reach the server, checked, once it answers.
#include "Uhand.h"

#include "common/uComm.h"
#include "data/Udm1.h"
#include "data/actions/ActionHistory.h"
#include "data/actions/ChangeList.h"
#include "data/actions/StampColumns.h"
#include "data/reads/RaceCache.h"
#include "data/sql/DatabaseError.h"
#include "timing/widgets/StatusStrip.h"

#include <QLineEdit>
#include <QTimer>

namespace {

// The race is written at most this often: what changed since is in the action journal.
constexpr int RaceCopyEveryMs = 10'000;

const QString NoRaceMessage =
    QStringLiteral("サーバーが応答せず、この端末にはレースの控えがありません。"
                   "タイムはこの端末に保存し、サーバーが応答したときに実行中のレースへ送ります。"
                   "ビブNo.は、サーバーが応答してから計時画面を開き直すまで記録できません。");
const QString RaceUnknownRefusal =
    QStringLiteral("レースの控えがないため記録できません。ビブNo.を書き留めてください"
                   "（サーバーが応答したら計時画面を開き直してください）。");
const QString ReopenNotice =
    QStringLiteral("サーバーが応答しました。計時画面を閉じて開き直してください"
                   "（保存したタイムは実行中のレースに送られています）。");

} // namespace

void TFhand::KeepCopiesOf(const RaceInWork& race) {
    if (race.RaceCode.isEmpty())
        return; // no race known: nothing to keep
    copiedRace_ = race;
    copies_ = std::make_unique<RaceCopyStore>(Dm1->DB.SourceName());
    auto* due = new QTimer(this);
    due->setInterval(RaceCopyEveryMs);
    connect(due, &QTimer::timeout, this, [this] {
        if (raceCopyDue_)
            KeepRaceCopy();
        // Said once each time it changes: the work goes on without the copy.
        const QString problem = copies_->Problem();
        if (problem != copyProblem_ && !problem.isEmpty())
            Tell({}, problem);
        copyProblem_ = problem;
    });
    due->start();
}

void TFhand::OpenFromCopy(RaceCopyStore::Found copy) {
    raceRead_ = copy.race.read;
    openedFrom_ = std::move(copy);
    linkWanted_ = true;
}

void TFhand::RestoreCopy() {
    const RaceCopy& race = openedFrom_->race;
    if (race.raceCode.isEmpty())
        Tell({}, NoRaceMessage);
    *Cache = race.race;
    changesSeen_ = race.changesSeen;
    wholeChangeSeen_ = race.wholeChangeSeen;
    AssumeChangeListKept(race.changeListKept);
    Cache->ExpectWaiting(History->Actions());
    // Whatever changed while the server was away is read whole at the first answer.
    wholeRaceWanted_ = true;
    const PendingCopy& pending = openedFrom_->pending;
    const qint64 since = std::max<qint64>(0, pending.written.secsTo(QDateTime::currentDateTime()));
    pendingSnapshot_ = {};
    for (std::size_t k = 0; k < pending.stamps.size(); ++k)
        pendingSnapshot_.server.push_back({pending.stamps[k], pending.ages[k] + since});
    pendingSnapshot_.serverCount = pending.count;
}

void TFhand::RaceReadFromServer() {
    raceRead_ = QDateTime::currentDateTime();
    raceCopyDue_ = true;
    if (openedFrom_) {
        if (openedFrom_->race.raceCode.isEmpty())
            Tell({}, ReopenNotice);
        openedFrom_.reset();
        Strip->Refresh();
    }
    if (!linkWanted_)
        return;
    // The window's own link, for what it reads itself (the check list), opened now that the
    // server answers.
    try {
        Dm1->DB.Open();
        linkWanted_ = false;
    } catch (const DatabaseError&) {
        // Tried again with the next read; the lists and the writers have links of their own.
    }
}

void TFhand::KeepRaceCopy() {
    raceCopyDue_ = false;
    if (!copies_ || !raceRead_.isValid())
        return;
    // The race's tables are shared with this window's until it changes them: handing them
    // over costs no copying here.
    copies_->KeepRace({copiedRace_->RaceCode, copiedRace_->Relay, copiedRace_->Caption,
                       raceRead_, CurrentStampColumns(), ChangeListKept(), changesSeen_,
                       wholeChangeSeen_, *Cache});
}

void TFhand::KeepPendingCopy() {
    if (!copies_)
        return;
    PendingCopy pending;
    for (const PendingStamp& time : pending_.times) {
        pending.stamps.push_back(time.stamp);
        pending.ages.push_back(time.ageSeconds);
    }
    pending.count = pending_.count;
    if (pending.stamps == pendingKept_.stamps && pending.count == pendingKept_.count)
        return;
    pending.written = QDateTime::currentDateTime();
    pendingKept_ = pending;
    copies_->KeepPending(copiedRace_->RaceCode, std::move(pending));
}

bool TFhand::RefusedWithoutRace(QLineEdit* bibBox) {
    if (!uComm::RaceCode.isEmpty())
        return false;
    Tell(bibBox->text(), RaceUnknownRefusal);
    return true;
}

QString TFhand::OfflineText() const {
    if (!openedFrom_)
        return {};
    if (!openedFrom_->race.read.isValid())
        return QStringLiteral("オフライン（控えなし）");
    return QStringLiteral("オフライン（%1 の控え）")
        .arg(openedFrom_->race.read.toString(QStringLiteral("HH:mm")));
}

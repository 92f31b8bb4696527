// Split-time assignment: bib + Enter, discard, dead heat. A key press is decided at once from
// what is known of the race (the cache and the pending panel), shown, and handed to the action
// writer, which sends it to the database: typing never waits for the server.
#include "Uhand.h"

#include "common/ErrorReport.h"
#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "controls/REdit.h"
#include "data/ActionHistory.h"
#include "data/RaceCache.h"
#include "data/RelayLegs.h"
#include "data/SplitRecorder.h"
#include "data/SplitRules.h"
#include "speech/Announcements.h"
#include "speech/SpeechPanelLogic.h"
#include "timing/BibKeyboard.h"
#include "timing/KeyDownFilter.h"
#include "timing/StatusStrip.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

const QString NotABibMessage = QStringLiteral("ビブNo.を数字で入力してください。");

} // namespace

void TFhand::ConnectSplitHandlers() {
    new KeyDownFilter(Edit5, [this](int key) { RunKeyPress(Edit5, [&] { Edit5KeyDown(key); }); });
    connect(RE1, &TREdit::OnExit, this, Guarded(this, &TFhand::RE1Exit));
}

void TFhand::Edit5KeyDown(int key) {
    if (key == 13) {
        PendingTime = Ed1->text();
        if (Edit5->text() == QStringLiteral("0"))
            DiscardPendingTime(Edit5);
        else
            TakeHeadTime(false);
    } else if (key == 32) {
        PendingTime = Ed1->text();
        if (Edit5->text() != QStringLiteral("0"))
            TakeHeadTime(true);
    }
}

QString TFhand::TypedBib(QLineEdit* bibBox) {
    QString digits;
    for (const QChar c : bibBox->text().trimmed())
        digits += QLatin1Char(BibKeyboard::DigitOf(QString(c)));
    if (digits.isEmpty() || digits.contains(QChar(0)) || digits.size() > 9) {
        Tell(bibBox->text(), NotABibMessage);
        return {};
    }
    const QString bib = FormatBib4(digits.toInt());
    bibBox->setText(bib);
    return bib;
}

// "0" and Enter on either page: the stamp at the head is discarded. On the lap page a held
// dead-heat time at the head is let go instead: its competitor keeps it, and the next "0"
// discards the next time.
void TFhand::DiscardPendingTime(QLineEdit* bibBox) {
    if (bibBox == Edit5 && held_) {
        Strip->ShowOutcome(NoteAction(QStringLiteral("同着終了 ") + TenthsForm(held_->time), true));
        held_.reset();
    } else if (const std::optional<StampRef> head = HeadStamp()) {
        ActionRequest request;
        request.kind = ActionRequest::Kind::Discard;
        request.stamp = *head;
        Send({}, QStringLiteral("破棄 ") + head->time, request);
        Strip->ShowOutcome(NoteAction(QStringLiteral("破棄 ") + TenthsForm(head->time), true));
    } else {
        Tell({}, NothingPendingMessage);
        return;
    }
    ShowPendingTimes();
    ShowGaps();
    PaintEd1(QColor(255, 255, 255));
}

// The time at the head goes to this bib: the held dead-heat time while one is held, the
// oldest pending time otherwise. Enter uses it; Space holds it (state "2") at the head of the
// panel for the dead heat's next bib + Enter, and Ed1 stays aqua until then.
void TFhand::TakeHeadTime(bool hold) {
    EntryBib = TypedBib(Edit5);
    if (EntryBib.isEmpty())
        return;
    const bool held = held_.has_value();
    const std::optional<StampRef> stamp = held ? held_ : HeadStamp();
    if (!stamp) {
        Tell(EntryBib, NothingPendingMessage);
        return;
    }
    if (setFTtime(EntryBib, *stamp, hold ? QStringLiteral("2") : QStringLiteral("1"),
                  held ? QStringLiteral("2") : QStringLiteral("0"))
            .refusal.isEmpty()) {
        if (hold)
            held_ = stamp;
        else
            held_.reset();
    }
    ShowPendingTimes();
    ShowGaps();
    PaintEd1(held_ ? QColor(0, 255, 255) : QColor(255, 255, 255));
}

SplitOutcome TFhand::setFTtime(const QString& Bib, const StampRef& Tm, const QString& Mode,
                               const QString& Takes) {
    EntryBib = Bib;
    PendingTime = Tm.time;
    const CompetitorSplits competitor = Cache->Competitor(Bib);
    const SplitRequest request{Bib, Tm.time, Mode, StrToInt(MinutesEntry(RE1->Text())), Takes, Tm};
    SplitOutcome outcome = DecideSplit(request, competitor);
    for (const QString& line : outcome.log)
        Memo2->appendPlainText(line);
    if (!outcome.refusal.isEmpty()) {
        Tell(Bib, outcome.refusal);
        return outcome;
    }
    outcome.recorded = true;
    ActionRequest split;
    split.kind = ActionRequest::Kind::Split;
    split.bib = Bib;
    split.stamp = Tm;
    split.number = outcome.split;
    split.runningTime = outcome.splitTime;
    split.start = competitor.start;
    split.state = Mode;
    split.takes = Takes;
    const QString kind = Mode == QLatin1String("2") ? QStringLiteral("同着 ")
                         : Takes.isEmpty()          ? QStringLiteral("手動 ")
                                                    : QString();
    Send(Bib,
         kind + QStringLiteral("中間%1  %2  %3")
                    .arg(outcome.split)
                    .arg(outcome.splitTime.trimmed(), Tm.time),
         split);
    Cache->ExpectSplit(Bib, outcome.split, outcome.splitTime, Tm.time);
    Strip->ShowOutcome(SplitAction(outcome, Bib, Tm.time));
    EntryBib = PassingLogBib(Bib);
    Speech->Announce(SplitAnnouncement{Bib, outcome.split, outcome.splitTime}.text());
    if (outcome.split != LastSplitNo) {
        LastSplitNo = outcome.split;
        // The list follows once the server has the split.
        ChooseSplitPoint(outcome.split, false);
    }
    return outcome;
}

void TFhand::RE1Exit() {
    uComm::MinMeasureMinutes = MinutesEntry(RE1->Text());
    RE1->SetText(uComm::MinMeasureMinutes);
}

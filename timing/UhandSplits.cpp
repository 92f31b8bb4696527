// Split-time assignment: bib + Enter, discard, dead heat. The recorder reads and writes; the
// window reads the keys, shows what happened, keeps the action and refreshes.
#include "Uhand.h"

#include "common/ErrorReport.h"
#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "controls/REdit.h"
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

// "0" and Enter on either page. A time another workstation took meanwhile is not discarded.
// On the lap page a held dead-heat time at the head is let go: its competitor keeps it, and
// the next "0" discards the next time.
void TFhand::DiscardPendingTime(QLineEdit* bibBox) {
    const QString time = Ed1->text();
    if (bibBox == Edit5 && !heldTime_.isEmpty()) {
        heldTime_.clear();
        Strip->ShowOutcome(NoteAction(QStringLiteral("同着終了 ") + TenthsForm(time), true));
    } else if (time.isEmpty()) {
        Tell({}, NothingPendingMessage);
        return;
    } else {
        std::vector<RowChange> changes = Splits->DiscardPending(time);
        if (changes.empty()) {
            Tell({}, TimeGoneMessage);
        } else {
            KeepAction({}, QStringLiteral("破棄 ") + time, std::move(changes));
            Strip->ShowOutcome(NoteAction(QStringLiteral("破棄 ") + TenthsForm(time), true));
        }
    }
    ListPendingTimes();
    ShowPendingGaps();
    PaintEd1(QColor(255, 255, 255));
}

// The time at the head goes to this bib: the held dead-heat time while one is held, the
// oldest pending time otherwise. Enter uses it; Space holds it (state "2") at the head of the
// panel for the dead heat's next bib + Enter, and Ed1 stays aqua until then.
void TFhand::TakeHeadTime(bool hold) {
    EntryBib = TypedBib(Edit5);
    if (EntryBib.isEmpty())
        return;
    const bool held = !heldTime_.isEmpty();
    const QString time = held ? heldTime_ : PendingTime;
    if (time.isEmpty()) {
        Tell(EntryBib, NothingPendingMessage);
        return;
    }
    const SplitOutcome outcome =
        setFTtime(EntryBib, time, hold ? QStringLiteral("2") : QStringLiteral("1"),
                  held ? QStringLiteral("2") : QStringLiteral("0"));
    // Held on by Space; let go once taken, or when gone elsewhere. Any other refusal keeps it
    // for the right bib.
    if (outcome.refusal == TimeGoneMessage || (outcome.recorded && !hold))
        heldTime_.clear();
    else if (outcome.recorded)
        heldTime_ = time;
    ListPendingTimes();
    ShowPendingGaps();
    PaintEd1(heldTime_.isEmpty() ? QColor(255, 255, 255) : QColor(0, 255, 255));
}

SplitOutcome TFhand::setFTtime(const QString& Bib, const QString& Tm, const QString& Mode,
                               const QString& Takes) {
    EntryBib = Bib;
    PendingTime = Tm;
    SplitRequest request{Bib, Tm, Mode, StrToInt(MinutesEntry(RE1->Text())), Takes};
    SplitOutcome outcome = Splits->Record(request);
    for (const QString& line : outcome.log)
        Memo2->appendPlainText(line);
    if (!outcome.recorded) {
        Tell(Bib, outcome.refusal);
        return outcome;
    }
    Strip->ShowOutcome(SplitAction(outcome, Bib, Tm));
    const QString kind = Mode == QLatin1String("2") ? QStringLiteral("同着 ")
                         : Takes.isEmpty()          ? QStringLiteral("手動 ")
                                                    : QString();
    KeepAction(Bib,
               kind + QStringLiteral("中間%1  %2  %3")
                          .arg(outcome.split)
                          .arg(outcome.splitTime.trimmed(), Tm),
               outcome.changes);
    EntryBib = PassingLogBib(Bib);
    Speech->Announce(SplitAnnouncement{Bib, outcome.split, outcome.splitTime}.text());
    if (outcome.split != LastSplitNo) {
        LastSplitNo = outcome.split;
        SplitButtons[outcome.split - 1]->Click();
    }
    return outcome;
}

void TFhand::RE1Exit() {
    uComm::MinMeasureMinutes = MinutesEntry(RE1->Text());
    RE1->SetText(uComm::MinMeasureMinutes);
}

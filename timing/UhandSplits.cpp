// Split-time assignment: bib + Enter, discard, dead heat. The recorder reads and writes; the
// window reads the keys, shows what happened and refreshes.
#include "Uhand.h"

#include "common/ErrorReport.h"
#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "controls/REdit.h"
#include "data/SplitRecorder.h"
#include "data/SplitRules.h"
#include "speech/Announcements.h"
#include "speech/SpeechPanelLogic.h"
#include "timing/KeyDownFilter.h"
#include "timing/MessageBoxes.h"
#include "timing/StatusStrip.h"

#include <QLineEdit>
#include <QPlainTextEdit>

void TFhand::ConnectSplitHandlers() {
    new KeyDownFilter(Edit5, [this](int key) { Edit5KeyDown(key); });
    connect(RE1, &TREdit::OnExit, this, Guarded(this, &TFhand::RE1Exit));
}

void TFhand::Edit5KeyDown(int key) {
    if (key == 13) {
        PendingTime = Ed1->text();
        if (Edit5->text() == QStringLiteral("0"))
            DiscardPendingTime(Edit5);
        else
            TakePendingTime();
    } else if (key == 32) {
        PendingTime = Ed1->text();
        if (Edit5->text() != QStringLiteral("0"))
            HoldDeadHeat();
    }
}

// "0" and Enter on either page. The box keeps its "0". A time another workstation took
// meanwhile is not discarded.
void TFhand::DiscardPendingTime(QLineEdit* bibBox) {
    const QString time = Ed1->text();
    const bool discarded = time.isEmpty() || Splits->DiscardPending(time);
    ListPendingTimes();
    ShowPendingGaps();
    if (!discarded) {
        ShowMessage(this, TimeGoneMessage);
        ReselectBibBox(bibBox); // the next keys replace the "0"
    }
}

void TFhand::TakePendingTime() {
    EntryBib = FormatBib4(StrToInt(Edit5->text()));
    Edit5->setText(EntryBib);
    setFTtime(EntryBib, PendingTime, QStringLiteral("1"), true);
    ListPendingTimes();
    ShowPendingGaps();
    ReselectBibBox(Edit5);
    PaintEd1(QColor(255, 255, 255));
}

// The time goes to this competitor and is held (state "2") for the other one of the dead
// heat, who gets it from the device-time grid. Ed1 stays aqua until the next bib + Enter.
void TFhand::HoldDeadHeat() {
    EntryBib = FormatBib4(StrToInt(Edit5->text()));
    PaintEd1(QColor(0, 255, 255));
    setFTtime(EntryBib, PendingTime, QStringLiteral("2"), true);
    ListPendingTimes();
    ShowPendingGaps();
    Edit5->setText(EntryBib);
    ReselectBibBox(Edit5);
}

void TFhand::setFTtime(const QString& Bib, const QString& Tm, const QString& Mode,
                       bool PendingOnly) {
    EntryBib = Bib;
    PendingTime = Tm;
    const SplitOutcome outcome =
        Splits->Record({Bib, Tm, Mode, StrToInt(MinutesEntry(RE1->Text())), PendingOnly});
    for (const QString& line : outcome.log)
        Memo2->appendPlainText(line);
    Strip->ShowOutcome(SplitAction(outcome, Bib, Tm));
    if (!outcome.recorded) {
        ShowMessage(this, outcome.refusal);
        ReselectBibBox(Edit5);
        return;
    }
    EntryBib = PassingLogBib(Bib);
    Speech->Announce(SplitAnnouncement{Bib, outcome.split, outcome.splitTime}.text());
    if (outcome.split != LastSplitNo) {
        LastSplitNo = outcome.split;
        SplitButtons[outcome.split - 1]->Click();
    }
}

void TFhand::RE1Exit() {
    uComm::MinMeasureMinutes = MinutesEntry(RE1->Text());
    RE1->SetText(uComm::MinMeasureMinutes);
}

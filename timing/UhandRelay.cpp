// Relay timing: the keys of the relay bib box, what their recording did, the leg lists and
// the relay reset. The statements live in the relay recorder.
#include "Uhand.h"

#include "common/ErrorReport.h"
#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "controls/REdit.h"
#include "data/ActionHistory.h"
#include "data/RaceCache.h"
#include "data/RelayLegList.h"
#include "data/RelayRecorder.h"
#include "data/SplitRules.h"
#include "data/Udm1.h"
#include "speech/Announcements.h"
#include "speech/SpeechPanelLogic.h"
#include "timing/KeyDownFilter.h"
#include "timing/MessageBoxes.h"
#include "timing/StatusReadings.h"
#include "timing/StatusStrip.h"

#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>
#include <optional>

namespace {

// The runners who finished `leg` for the relay grid, the statement shown below it; read with
// the lists.
void ListLeg(int leg, QLineEdit* statementBox) {
    TQuery& list = Dm1->QRelay1;
    list.SetSQL(RelayLegListStatement(leg));
    statementBox->setText(list.ShownText());
}

// Runs `shown` each time the watched widget is shown.
class ShowWatcher : public QObject {
public:
    ShowWatcher(QWidget* watched, std::function<void()> shown)
        : QObject(watched), shown_(std::move(shown)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show)
            shown_();
        return false;
    }

private:
    std::function<void()> shown_;
};

} // namespace

void TFhand::ConnectRelayHandlers() {
    static_assert(std::tuple_size_v<decltype(LegButtons)> == RelayTimedLegs);
    new KeyDownFilter(Edit3, [this](int key) { RunKeyPress(Edit3, [&] { Edit3KeyDown(key); }); });
    void (TFhand::*clicks[])() = {&TFhand::CtBR1Click, &TFhand::CtBR2Click, &TFhand::CtBR3Click,
                                  &TFhand::CtBR4Click};
    for (int n = 0; n < 4; ++n)
        connect(LegButtons[n], &TCuteButton::OnClick, this, Guarded(this, clicks[n]));
    for (int n = 4; n < RelayTimedLegs; ++n)
        connect(LegButtons[n], &TCuteButton::OnClick, this, [this, n] {
            RunGuarded([&] {
                ListLeg(n + 1, Edit6);
                ListPendingTimes();
            });
        });
    for (TCuteButton* button : LegButtons)
        connect(button, &TCuteButton::OnClick, this, [this] { ReselectBibBox(Edit3); });
    connect(Button3, &QPushButton::clicked, this, Guarded(this, &TFhand::Button3Click));
    new ShowWatcher(TabSheet3, [this] { RunGuarded([this] { ShowEkidenLegButtons(); }); });
}

void TFhand::Edit3KeyDown(int key) {
    if (key == 13)
        TakeRelayFinish();
    else if (key == 32)
        HoldRelayDeadHeat();
}

void TFhand::TakeRelayFinish() {
    if (Edit3->text() == QStringLiteral("0")) {
        DiscardPendingTime(Edit3);
        return;
    }
    const std::optional<RelayEntry> entry = TakeRelayEntry(HeadStamp());
    if (!entry)
        return;
    ShowRelayOutcome(DecideRelayFinish(Cache->Team(entry->bib), *entry), *entry, true);
    ShowPendingTimes();
    ShowGaps();
    PaintEd1(QColor(255, 255, 255));
}

// The time stays pending, so the next bib with Enter takes the same finish.
void TFhand::HoldRelayDeadHeat() {
    if (Edit3->text() == QStringLiteral("0"))
        return;
    const std::optional<RelayEntry> entry = TakeRelayEntry(HeadStamp());
    if (!entry)
        return;
    const RelayOutcome outcome = DecideRelayFinish(Cache->Team(entry->bib), *entry);
    ShowRelayOutcome(outcome, *entry, false);
    if (outcome.recorded)
        PaintEd1(QColor(0, 255, 255));
    ShowPendingTimes();
    ShowGaps();
}

// The bib box's entry as a four-digit bib, shown back in the box, with the page's settings;
// none, and told, when the box holds no bib or nothing is pending.
std::optional<RelayEntry> TFhand::TakeRelayEntry(const std::optional<StampRef>& stamp) {
    const QString bib = TypedBib(Edit3);
    if (bib.isEmpty())
        return std::nullopt;
    if (!stamp) {
        Tell(bib, NothingPendingMessage);
        return std::nullopt;
    }
    return RelayEntry{bib, stamp->time, RE1->Text(), CkBLast->isChecked(), *stamp};
}

void TFhand::ShowRelayOutcome(const RelayOutcome& outcome, const RelayEntry& entry, bool usesTime) {
    Edit6->setText(outcome.statement);
    for (const QString& line : outcome.log)
        Memo2->appendPlainText(line);
    if (!outcome.recorded) {
        Tell(entry.bib, outcome.refusal);
        return;
    }
    ActionRequest leg;
    leg.kind = ActionRequest::Kind::RelayLeg;
    leg.bib = entry.bib;
    leg.stamp = entry.stamp;
    leg.number = outcome.leg;
    leg.legs = outcome.legs;
    leg.runningTime = outcome.legTime;
    leg.teamTime = outcome.teamTime;
    leg.teamLetter = outcome.teamLetter;
    leg.usesTime = usesTime;
    Send(entry.bib,
         QStringLiteral("%1走  %2  %3  チーム %4")
             .arg(outcome.leg)
             .arg(outcome.legTime.trimmed(), entry.time, outcome.teamTime.trimmed()),
         leg, true);
    Cache->ExpectLeg(entry.bib, outcome.leg, entry.time);
    Strip->ShowOutcome(RelayAction(outcome, entry.bib, entry.time));
    Speech->Announce(LegFinishAnnouncement{entry.bib, outcome.leg, outcome.legs, outcome.legTime,
                                           outcome.teamTime}
                         .text());
    if (outcome.leg != LastSplitNo) {
        LastSplitNo = outcome.leg;
        // The list follows once the server has the leg.
        Dm1->QRelay1.SetSQL(RelayLegListStatement(outcome.leg));
        Edit6->setText(Dm1->QRelay1.ShownText());
    }
}

void TFhand::CtBR1Click() {
    ListLeg(1, Edit6);
    ListPendingTimes();
}
void TFhand::CtBR2Click() {
    ListLeg(2, Edit6);
    ListPendingTimes();
}
void TFhand::CtBR3Click() {
    ListLeg(3, Edit6);
    ListPendingTimes();
}
void TFhand::CtBR4Click() {
    ListLeg(4, Edit6);
    ListPendingTimes();
}

void TFhand::ShowEkidenLegButtons() {
    const int legs = MostRelayLegs(Dm1->qsetfin);
    for (int n = 4; n < RelayTimedLegs; ++n)
        LegButtons[n]->setVisible(n < legs);
}

// Every team back to before its first exchange, after a question whose default is No; it
// can be taken back as any other action.
void TFhand::Button3Click() {
    const int legs = Cache->FinishedLegs();
    const bool asked = AskYesNo(
        this, QStringLiteral("実行してよろしいですか？"),
        QStringLiteral("%1 のリレー記録（区間 %2 件）をすべて消去し、すべてのタイムを処理待ちに"
                       "戻します。よろしいですか？")
            .arg(windowTitle())
            .arg(legs),
        false);
    ReselectBibBox(Edit3);
    if (!asked)
        return;
    const QString what = QStringLiteral("リレー初期化 区間 %1 件を消去").arg(legs);
    ActionRequest reset;
    reset.kind = ActionRequest::Kind::RelayReset;
    Send({}, what, reset, true);
    Strip->ShowOutcome(NoteAction(what, true));
}

void TFhand::PaintEd1(const QColor& colour) {
    // A new style sheet re-polishes the box: only when the colour really changes, not on
    // every key press.
    const QString sheet = QStringLiteral("background: %1").arg(colour.name());
    if (Ed1->styleSheet() != sheet)
        Ed1->setStyleSheet(sheet);
}

// Relay timing: the keys of the relay bib box, decided by the relay session, the leg lists,
// forced starts and the relay reset.
#include "Uhand.h"

#include "common/ErrorReport.h"
#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "data/Udm1.h"
#include "data/actions/ActionHistory.h"
#include "data/reads/RaceCache.h"
#include "data/reads/RelayLegList.h"
#include "data/rules/RelayLegs.h"
#include "timing/session/RelaySession.h"
#include "timing/widgets/ForcedStartDialog.h"
#include "timing/widgets/KeyDownFilter.h"
#include "timing/widgets/MessageBoxes.h"
#include "timing/widgets/StatusReadings.h"
#include "timing/widgets/StatusStrip.h"
#include "timing/widgets/TDBGrid.h"

#include <QCheckBox>
#include <QSpinBox>
#include <QEvent>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <functional>

namespace {

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
                ShowLegList(n + 1);
                ListPendingTimes();
            });
        });
    for (TCuteButton* button : LegButtons)
        connect(button, &TCuteButton::OnClick, this, [this] { ReselectBibBox(Edit3); });
    connect(Button3, &QPushButton::clicked, this, Guarded(this, &TFhand::Button3Click));
    new ShowWatcher(TabSheet3, [this] { RunGuarded([this] { ShowEkidenLegButtons(); }); });

    connect(BtnForced, &QPushButton::clicked, this, Guarded(this, &TFhand::BtnForcedClick));
    ConnectMinutesBox(RelayMinutes, uComm::RelayMinMeasureMinutes);
    SpExchange->setValue(uComm::RelayExchange);
    connect(SpExchange, &QSpinBox::valueChanged, this, [this](int exchange) {
        uComm::RelayExchange = exchange;
        ReselectBibBox(Edit3);
    });
    // A forced start refused: its teams as the server holds them, with the next read.
    connect(History.get(), &ActionHistory::Refused, this, [this](const OperatorAction& action) {
        if (action.request.kind == ActionRequest::Kind::ForcedStart)
            wholeRaceWanted_ = true;
    });
}

void TFhand::Edit3KeyDown(int key) {
    if (RefusedAsNotTypedAnew(Edit3, key) || ((key == 13 || key == 32) && RefusedWithoutRace(Edit3)))
        return;
    if (key == 13 && RelaySession::AsksForcedStart(Edit3->text()))
        IssueForcedStart(Relay->PlanForcedStart(Edit3->text(), HeadStamp()));
    else if (key == 13 || key == 32)
        ShowKeyPress(Edit3,
                     Relay->Press(Edit3->text(), key == 13 ? BibKey::Enter : BibKey::Space,
                                  HeadStamp(), uComm::RelayMinMeasureMinutes, CkBLast->isChecked()));
}

void TFhand::ShowLegList(int leg) {
    TQuery& list = Dm1->QRelay1;
    list.SetSQL(RelayLegListStatement(leg));
    Edit6->setText(list.ShownText());
    // Named and lit, as the lap page lights its split point.
    legShown_ = leg;
    LabLegShown->setText(QStringLiteral("一覧: %1走の到着").arg(leg));
    for (int n = 1; n <= RelayTimedLegs; ++n)
        LegButtons[n - 1]->SetColor(n == leg ? QColor(255, 255, 0) : QColor(255, 255, 255));
}

void TFhand::FollowLeg(int leg) {
    // The operator looking down the list keeps it: the next key press does not take it away.
    if (DBGrid6->verticalScrollBar()->value() == 0 || legShown_ == 0)
        ShowLegList(leg);
}

void TFhand::CtBR1Click() {
    ShowLegList(1);
    ListPendingTimes();
}
void TFhand::CtBR2Click() {
    ShowLegList(2);
    ListPendingTimes();
}
void TFhand::CtBR3Click() {
    ShowLegList(3);
    ListPendingTimes();
}
void TFhand::CtBR4Click() {
    ShowLegList(4);
    ListPendingTimes();
}

void TFhand::ShowEkidenLegButtons() {
    const int legs = Cache->MostLegs();
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

void TFhand::BtnForcedClick() {
    const std::optional<ForcedStartChoice> choice =
        AskForcedStartChoice(this, Cache->RelayClasses());
    if (choice)
        IssueForcedStart(Relay->PlanForcedStart(*choice, HeadStamp(), Edit3->text()));
    ReselectBibBox(Edit3);
}

// The one question of the relay page's keys: the operator typed it on purpose, so Yes is the
// default. A refusal is told as any key press's is.
void TFhand::IssueForcedStart(const ForcedStartPlan& plan) {
    if (plan.press.Refused()) {
        ShowKeyPress(Edit3, plan.press);
        return;
    }
    if (AskYesNo(this, QStringLiteral("繰上スタート"), plan.question, true))
        ShowKeyPress(Edit3, Relay->StartForced(plan));
}

void TFhand::PaintEd1(const QColor& colour) {
    // A new style sheet re-polishes the box: only when the colour really changes, not on
    // every key press.
    const QString sheet = QStringLiteral("background: %1").arg(colour.name());
    if (Ed1->styleSheet() != sheet)
        Ed1->setStyleSheet(sheet);
}

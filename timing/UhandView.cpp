// The split point's own view: the page "通過状況", the counts on the lap and relay pages, the
// cut-off boxes of the settings page. Its lists come with the window's other lists; nothing
// here waits for the server.
#include "Uhand.h"

#include "common/uComm.h"
#include "controls/REdit.h"
#include "data/reads/ExchangeCounts.h"
#include "data/reads/RaceCache.h"
#include "data/rules/RelayLegs.h"
#include "timing/session/PendingView.h"
#include "timing/widgets/BoldLabel.h"
#include "timing/widgets/ExchangeView.h"
#include "timing/widgets/SplitPointPage.h"
#include "timing/widgets/SplitPointReadings.h"
#include "timing/widgets/TDBGrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int PageLeft = 262;
constexpr int ViewTickMs = 1000;
// Beside the speech switch, below the voice panel.
constexpr int CutOffLeft = PageLeft + 570;
const QString ExchangesRead = QStringLiteral("view exchanges");

// The leg arriving where the relay page works: its exchange when said, else the leg whose
// list it shows, else the first.
int ArrivingLeg(int exchange, int legShown) {
    const int leg = exchange > 0 ? exchange : std::max(legShown, 1);
    return std::min(leg, RelayTimedLegs);
}

} // namespace

void TFhand::BuildViewPage() {
    TabSheet5 = new SplitPointPage([this](const QString& zek) { return Cache->Competitor(zek); },
                                   [this](const QString& reason) { Tell({}, reason); });
    TabSheet5->SetClock([this] { return deviceClock_.Now(QDateTime::currentDateTime()); });
    TabSheet5->setObjectName(QStringLiteral("TabSheet5"));
    PageControl1->addTab(TabSheet5, QStringLiteral("通過状況"));
    LabView =
        BoldLabel(TabSheet1, QStringLiteral("LabView"), 13, QRect(PageLeft + 470, 44, 250, 18));
    LabExchanges = BoldLabel(TabSheet3, QStringLiteral("LabExchanges"), 13,
                             QRect(PageLeft + 470, 204, 250, 200));
    LabExchanges->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TFhand::BuildCutOffBoxes(QWidget* page, int top) {
    auto* caption =
        BoldLabel(page, QStringLiteral("CutOffCaption"), 13, QRect(CutOffLeft, top, 220, 20));
    caption->setText(QStringLiteral("関門時刻"));
    for (int n = 1; n <= int(CutOffBoxes.size()); ++n) {
        const int y = top + 4 + n * 26;
        auto* label = new QLabel(QStringLiteral("中間%1").arg(n), page);
        label->setGeometry(CutOffLeft, y + 2, 50, 20);
        auto* box = new QLineEdit(page);
        box->setObjectName(QStringLiteral("CutOff%1").arg(n));
        box->setGeometry(CutOffLeft + 52, y, 90, 24);
        // Hours and minutes, seconds when wanted: the box shows how.
        box->setPlaceholderText(QStringLiteral("時:分[:秒]"));
        CutOffBoxes[n - 1] = box;
    }
}

void TFhand::ConnectViewHandlers() {
    for (int n = 1; n <= int(CutOffBoxes.size()); ++n) {
        connect(CutOffBoxes[n - 1], &QLineEdit::editingFinished, this,
                [this, n] { CutOffBoxExit(n); });
    }
    auto* ticks = new QTimer(this);
    ticks->setInterval(ViewTickMs);
    connect(ticks, &QTimer::timeout, this, &TFhand::TickView);
    ticks->start();
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int) {
        if (PageControl1->currentWidget() != TabSheet5)
            return;
        // The page's lists are read only while it is on show: read them now.
        RunGuarded([this] { ListPendingTimes(); });
        TabSheet5->FindBox()->setFocus();
        TabSheet5->FindBox()->selectAll();
    });
}

// A cut-off the operator typed is kept once it reads as a time; anything else is refused,
// told, and the box shows the cut-off still in force.
void TFhand::CutOffBoxExit(int split) {
    QLineEdit* box = CutOffBoxes[split - 1];
    const CutOffEntry entry = ReadCutOffEntry(box->text(), split);
    if (entry.accepted) {
        uComm::CutOffTimes[split - 1] = entry.stored;
        uComm::KeepRaceSettings();
    } else if (box->text() != uComm::CutOffTimes[split - 1])
        Tell({}, entry.refusal);
    box->setText(uComm::CutOffTimes[split - 1]);
    TickView();
    DBGrid2->viewport()->update();
}

void TFhand::ShowRaceSettings() {
    uComm::TakeRaceSettings();
    RE1->SetText(uComm::MinMeasureMinutes);
    RelayMinutes->SetText(uComm::RelayMinMeasureMinutes);
    for (int n = 1; n <= int(CutOffBoxes.size()); ++n)
        CutOffBoxes[n - 1]->setText(uComm::CutOffTimes[n - 1]);
}

std::vector<ListRead> TFhand::ViewReads() const {
    // The relay page counts its teams; the split point's counts are for the other pages.
    if (PageControl1->currentWidget() == TabSheet3)
        return {{ExchangesRead, ExchangeCountsStatement(uComm::RaceCode), 0}};
    if (TabSheet5->Relay() && PageControl1->currentWidget() == TabSheet5)
        return TabSheet5->Exchange()->Reads(uComm::RaceCode,
                                            ArrivingLeg(uComm::RelayExchange, legShown_));
    return SplitPointPage::Reads(uComm::RaceCode, DisplayedSplit.toInt(),
                                 PageControl1->currentWidget() == TabSheet5);
}

void TFhand::ShowView(const ListSnapshots& lists) {
    TabSheet5->ShowLists(lists, DisplayedSplit.toInt());
    if (const auto it = lists.find(ExchangesRead); it != lists.end())
        LabExchanges->setText(ExchangesText(ExchangeCountsOf(it->second)));
    TickView();
}

void TFhand::TickView() {
    const int split = DisplayedSplit.toInt();
    TabSheet5->Tick(split);
    TabSheet5->ShowBacklog(pending_.count);
    LabView->setText(TabSheet5->Summary(split));
}

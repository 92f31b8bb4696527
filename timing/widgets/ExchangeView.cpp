#include "timing/widgets/ExchangeView.h"

#include "data/reads/ExchangeCounts.h"
#include "data/rules/SplitRules.h"
#include "timing/widgets/BoldLabel.h"
#include "timing/widgets/SplitPointReadings.h"

#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

constexpr int Left = 262; // right of the pending-time panel, as on every page

const QString ThroughRead = QStringLiteral("exchange through");
const QString DueRead = QStringLiteral("exchange due");

const ListSnapshot* Find(const ListSnapshots& lists, const QString& name) {
    const auto it = lists.find(name);
    return it == lists.end() ? nullptr : &it->second;
}

QString NextLegText(ExchangeTeam::NextLeg next) {
    switch (next) {
    case ExchangeTeam::NextLeg::Waiting:
        return QStringLiteral("対象");
    case ExchangeTeam::NextLeg::StartedByForce:
        return QStringLiteral("繰上済");
    case ExchangeTeam::NextLeg::None:
        break;
    }
    return QStringLiteral("ゴール");
}

} // namespace

ExchangeView::ExchangeView(Tell tell, QWidget* parent) : QWidget(parent), tell_(std::move(tell)) {
    Build();
}

// The whole page, its own labels placed around the page's lookup box, which stays on top.
void ExchangeView::Build() {
    setGeometry(0, 0, Left + 730, 560);
    counts_ = BoldLabel(this, QStringLiteral("ExchangeCounts"), 22, QRect(Left, 8, 460, 30));
    next_ = BoldLabel(this, QStringLiteral("ExchangeNext"), 16, QRect(Left, 42, 460, 22));
    heading_ = BoldLabel(this, QStringLiteral("ExchangeHeading"), 16, QRect(Left, 98, 420, 22));
    due_ = new QTreeWidget(this);
    due_->setObjectName(QStringLiteral("ExchangeDue"));
    due_->setGeometry(Left, 122, 420, 430);
    due_->setRootIsDecorated(false);
    due_->setHeaderLabels({QStringLiteral("ビブ"), QStringLiteral("クラス"),
                           QStringLiteral("走行中"), QStringLiteral("区間スタート"),
                           QStringLiteral("予想"), QStringLiteral("次走")});
    const int widths[] = {60, 64, 52, 96, 92, 56};
    for (int column = 0; column < 6; ++column)
        due_->setColumnWidth(column, widths[column]);
    BoldLabel(this, QStringLiteral("ExchangeForcedCaption"), 14, QRect(Left + 430, 126, 80, 22))
        ->setText(QStringLiteral("繰上時刻"));
    forcedTime_ = new QLineEdit(this);
    forcedTime_->setObjectName(QStringLiteral("ExchangeForcedTime"));
    forcedTime_->setGeometry(Left + 510, 122, 110, 28);
    forcedTime_->setPlaceholderText(QStringLiteral("時:分[:秒]"));
    forcedTime_->setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(forcedTime_, &QLineEdit::editingFinished, this, &ExchangeView::ForcedTimeEntered);
    forced_ =
        BoldLabel(this, QStringLiteral("ExchangeForced"), 14, QRect(Left + 430, 156, 286, 120));
    forced_->setWordWrap(true);
    forced_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lateArrival_ = BoldLabel(this, QStringLiteral("ExchangeLateArrival"), 14,
                             QRect(Left + 430, 290, 286, 160));
    lateArrival_->setWordWrap(true);
    lateArrival_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lateArrival_->setStyleSheet(QStringLiteral("color: #c00000"));
}

std::vector<ListRead> ExchangeView::Reads(const QString& race, int exchange) {
    if (exchange != exchange_) {
        exchange_ = exchange;
        forcedTime_->setText(forcedTimes_[exchange_]);
    }
    return {{ThroughRead, ExchangeCountsStatement(race), 0},
            {DueRead, ExchangeTeamsStatement(race, exchange), 0}};
}

void ExchangeView::ShowLists(const ListSnapshots& lists) {
    if (const ListSnapshot* rows = Find(lists, ThroughRead)) {
        const std::vector<int> through = ExchangeCountsOf(*rows);
        through_ = exchange_ <= int(through.size()) ? through[exchange_ - 1] : 0;
    }
    if (const ListSnapshot* rows = Find(lists, DueRead))
        ShowDue(ExchangeTeamsOf(*rows));
}

void ExchangeView::ShowDue(const std::vector<ExchangeTeam>& due) {
    counts_->setText(ExchangeThroughText(exchange_, through_, int(due.size())));
    next_->setText(NextExpectedText(due));
    heading_->setText(QStringLiteral("未着 %1 チーム（到着予想順）").arg(due.size()));
    forcedTeams_ = TeamsAForcedStartTakes(due);
    due_->setUpdatesEnabled(false);
    due_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(int(due.size()));
    for (const ExchangeTeam& team : due)
        items << new QTreeWidgetItem({ShownBib(team.zek), team.className,
                                      QStringLiteral("%1走").arg(team.runningLeg),
                                      team.legStart.trimmed().left(10),
                                      team.expectedAt.trimmed().left(10), NextLegText(team.next)});
    due_->addTopLevelItems(items);
    due_->setUpdatesEnabled(true);
    Tick(now_);
}

void ExchangeView::Tick(QTime now) {
    now_ = now;
    forced_->setText(ForcedStartText(ForcedTime(), now, forcedTeams_));
}

void ExchangeView::ShowLateArrival(const QString& warning) {
    lateArrival_->setText(warning);
}

// A time that reads as one is kept for the exchange on show; anything else is refused, told,
// and the box shows the time still in force.
void ExchangeView::ForcedTimeEntered() {
    QString& kept = forcedTimes_[exchange_];
    const CutOffEntry entry =
        ReadClockEntry(forcedTime_->text(), QStringLiteral("中継%1 の繰上時刻").arg(exchange_));
    if (entry.accepted)
        kept = entry.stored;
    else if (forcedTime_->text() != kept)
        tell_(entry.refusal);
    forcedTime_->setText(kept);
    Tick(now_);
}

std::optional<QTime> ExchangeView::ForcedTime() const {
    const auto it = forcedTimes_.find(exchange_);
    const QTime time = it == forcedTimes_.end()
                           ? QTime()
                           : QTime::fromString(it->second, QStringLiteral("HH:mm:ss"));
    return time.isValid() ? std::optional(time) : std::nullopt;
}

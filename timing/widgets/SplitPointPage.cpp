#include "timing/widgets/SplitPointPage.h"

#include "common/uComm.h"
#include "data/reads/NotPassedList.h"
#include "data/reads/PassingsPerMinute.h"
#include "data/reads/SplitPointCounts.h"
#include "data/rules/SplitRules.h"
#include "timing/session/SplitPointCutOff.h"
#include "timing/widgets/BoldLabel.h"
#include "timing/widgets/ExchangeView.h"
#include "timing/widgets/PassingChart.h"
#include "timing/widgets/SplitPointReadings.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTime>
#include <QTreeWidget>
#include <algorithm>

namespace {

constexpr int Left = 262; // right of the pending-time panel, as on every page

const QString CountsRead = QStringLiteral("view counts");
const QString NotPassedRead = QStringLiteral("view not passed");
const QString PerMinuteRead = QStringLiteral("view per minute");
// The soonest expected fill a few screens; the count says how many there are in all.
constexpr int NotPassedRowsRead = 200;

const ListSnapshot* Find(const ListSnapshots& lists, const QString& name) {
    const auto it = lists.find(name);
    return it == lists.end() ? nullptr : &it->second;
}

} // namespace

SplitPointPage::SplitPointPage(CompetitorLookup competitor,
                               std::function<void(const QString&)> tell, QWidget* parent)
    : QWidget(parent), competitor_(std::move(competitor)) {
    // First, so the lookup box and the whereabouts stay above it.
    exchange_ = new ExchangeView(std::move(tell), this);
    Build();
    SetRelay(false);
}

void SplitPointPage::SetRelay(bool relay) {
    relay_ = relay;
    exchange_->setVisible(relay);
    for (QWidget* lapPart :
         std::initializer_list<QWidget*>{counts_, countdown_, heading_, notPassed_, chart_})
        lapPart->setVisible(!relay);
}

void SplitPointPage::Build() {
    counts_ = BoldLabel(this, QStringLiteral("ViewCounts"), 22, QRect(Left, 8, 460, 30));
    countdown_ = BoldLabel(this, QStringLiteral("ViewCountdown"), 16, QRect(Left, 42, 460, 22));
    BoldLabel(this, QStringLiteral("ViewFindCaption"), 14, QRect(Left + 470, 16, 40, 22))
        ->setText(QStringLiteral("ビブ"));
    findBox_ = new QLineEdit(this);
    findBox_->setObjectName(QStringLiteral("ViewFindBox"));
    findBox_->setGeometry(Left + 510, 8, 140, 40);
    QFont big = findBox_->font();
    big.setPixelSize(28);
    big.setBold(true);
    findBox_->setFont(big);
    findBox_->setAlignment(Qt::AlignRight);
    findBox_->setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(findBox_, &QLineEdit::returnPressed, this, &SplitPointPage::FindRunner);
    whereabouts_ = BoldLabel(this, QStringLiteral("ViewWhereabouts"), 14, QRect(Left, 70, 710, 22));
    heading_ = BoldLabel(this, QStringLiteral("ViewHeading"), 16, QRect(Left, 98, 420, 22));
    notPassed_ = new QTreeWidget(this);
    notPassed_->setObjectName(QStringLiteral("ViewNotPassed"));
    notPassed_->setGeometry(Left, 122, 420, 430);
    notPassed_->setRootIsDecorated(false);
    notPassed_->setHeaderLabels({QStringLiteral("ビブ"), QStringLiteral("クラス"),
                                 QStringLiteral("最終通過"), QStringLiteral("時刻"),
                                 QStringLiteral("予想")});
    const int widths[] = {64, 80, 70, 100, 90};
    for (int column = 0; column < 5; ++column)
        notPassed_->setColumnWidth(column, widths[column]);
    chart_ = new PassingChart(this);
    chart_->setObjectName(QStringLiteral("ViewChart"));
    chart_->setGeometry(Left + 430, 122, 286, 260);
}

std::vector<ListRead> SplitPointPage::Reads(const QString& race, int split, bool onShow) {
    std::vector<ListRead> reads = {{CountsRead, SplitPointCountsStatement(race, split), 0}};
    if (onShow) {
        reads.push_back({NotPassedRead, NotPassedStatement(race, split), NotPassedRowsRead});
        reads.push_back({PerMinuteRead, PassingsPerMinuteStatement(race, split), 0});
    }
    return reads;
}

void SplitPointPage::ShowLists(const ListSnapshots& lists, int split) {
    split_ = split;
    if (const ListSnapshot* rows = Find(lists, CountsRead)) {
        const SplitPointCounts counts = SplitPointCountsOf(*rows);
        through_ = counts.through;
        expected_ = counts.expected;
        counts_->setText(ThroughText(split, through_, expected_));
    }
    if (const ListSnapshot* rows = Find(lists, NotPassedRead))
        ShowNotPassed(*rows);
    if (const ListSnapshot* rows = Find(lists, PerMinuteRead)) {
        const QTime now = now_();
        chart_->ShowPassings(PassingsPerMinuteOf(*rows, now),
                             now.toString(QStringLiteral("HH:mm")));
    }
    exchange_->ShowLists(lists);
    Tick(split);
}

void SplitPointPage::ShowNotPassed(const ListSnapshot& rows) {
    const std::vector<NotPassedRunner> runners = NotPassedOf(rows);
    notPassed_->setUpdatesEnabled(false);
    notPassed_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(int(runners.size()));
    for (const NotPassedRunner& runner : runners)
        items << new QTreeWidgetItem(
            {ShownBib(runner.zek), runner.className,
             runner.lastSplit == 0 ? QStringLiteral("スタート")
                                   : QStringLiteral("中間%1").arg(runner.lastSplit),
             runner.lastPassing.trimmed().left(10), runner.expectedAt.trimmed().left(8)});
    notPassed_->addTopLevelItems(items);
    notPassed_->setUpdatesEnabled(true);
}

void SplitPointPage::ShowBacklog(int waiting) {
    chart_->ShowBacklog(waiting);
}

void SplitPointPage::Tick(int split) {
    if (relay_)
        exchange_->Tick(now_());
    const std::optional<QTime> cutOff = CutOffOf(split);
    countdown_->setText(CutOffCountdown(cutOff, now_()));
    const bool closed = cutOff && now_() >= *cutOff;
    const QString still = QStringLiteral("未通過 %1 人").arg(std::max(expected_, 0));
    heading_->setText(closed ? QStringLiteral("関門閉鎖  ") + still : still);
}

QString SplitPointPage::Summary(int split) const {
    if (through_ < 0)
        return {};
    const QString countdown = CutOffCountdown(CutOffOf(split), now_());
    return QStringLiteral("通過 %1 / 残り %2").arg(through_).arg(expected_) +
           (countdown.isEmpty() ? QString() : QStringLiteral("  ") + countdown);
}

void SplitPointPage::FindRunner() {
    const QString typed = findBox_->text().trimmed();
    if (typed.isEmpty())
        return;
    bool number = false;
    const int bib = typed.toInt(&number);
    if (!number) {
        whereabouts_->setText(
            QStringLiteral("ビブNo. は数字で入力してください。「%1」").arg(typed));
        return;
    }
    const QString zek = FormatBib4(bib);
    whereabouts_->setText(WhereaboutsText(zek, competitor_(zek), split_));
    const QList<QTreeWidgetItem*> found = notPassed_->findItems(ShownBib(zek), Qt::MatchExactly, 0);
    notPassed_->setCurrentItem(found.isEmpty() ? nullptr : found.first());
    if (!found.isEmpty())
        notPassed_->scrollToItem(found.first());
    findBox_->selectAll();
}

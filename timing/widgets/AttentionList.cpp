#include "timing/widgets/AttentionList.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

enum Column { TimeColumn, BibColumn, ReasonColumn };
// Times an entry came, kept on its time cell; its reason as told, on the reason cell.
constexpr int RepeatRole = Qt::UserRole;
// When it came last, date and all, on the time cell.
constexpr int AtRole = Qt::UserRole + 1;

bool IsSame(const QTreeWidgetItem& item, const AttentionEntry& entry) {
    return item.text(BibColumn) == entry.bib &&
           item.data(ReasonColumn, RepeatRole).toString() == entry.reason;
}

} // namespace

AttentionList::AttentionList(QWidget* parent)
    : QFrame(parent), caption_(new QLabel(this)), list_(new QTreeWidget(this)),
      clear_(new QPushButton(QStringLiteral("消去"), this)) {
    setObjectName(QStringLiteral("AttentionList"));
    setFrameShape(QFrame::StyledPanel);
    caption_->setStyleSheet(QStringLiteral("font-weight: bold"));
    list_->setObjectName(QStringLiteral("AttentionLines"));
    list_->setHeaderLabels(
        {QStringLiteral("時刻"), QStringLiteral("ビブ"), QStringLiteral("理由")});
    list_->setRootIsDecorated(false);
    list_->setColumnWidth(TimeColumn, 64);
    list_->setColumnWidth(BibColumn, 44);
    list_->header()->setStretchLastSection(true);
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    clear_->setObjectName(QStringLiteral("AttentionClear"));
    clear_->setFocusPolicy(Qt::NoFocus);
    clear_->setAutoDefault(false);
    connect(clear_, &QPushButton::clicked, this, &AttentionList::Clear);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    layout->addWidget(caption_, 0, 0);
    layout->addWidget(clear_, 0, 1, Qt::AlignRight);
    layout->addWidget(list_, 1, 0, 1, 2);
    ShowCount();
}

AttentionList::~AttentionList() = default;

void AttentionList::KeepIn(std::unique_ptr<AttentionJournal> journal) {
    journal_ = std::move(journal);
    for (const AttentionEntry& entry : journal_->TakeFound())
        Show(entry);
    // Written anew: only what is shown, and a file that failed before is mended.
    journal_->KeepOnly(Entries());
}

void AttentionList::Add(const QString& bib, const QString& reason) {
    AttentionEntry entry{QDateTime::currentDateTime(), bib, reason.simplified()};
    if (const QTreeWidgetItem* last = list_->topLevelItem(0); last && IsSame(*last, entry))
        entry.times = last->data(TimeColumn, RepeatRole).toInt() + 1;
    Show(entry);
    if (!journal_)
        return;
    journal_->Keep(entry);
    if (journal_->LinesAdded() > 2 * Kept)
        journal_->KeepOnly(Entries());
}

void AttentionList::Show(const AttentionEntry& entry) {
    QTreeWidgetItem* item = list_->topLevelItem(0);
    if (entry.times == 1 || !item || !IsSame(*item, entry)) {
        item = new QTreeWidgetItem;
        list_->insertTopLevelItem(0, item);
    }
    item->setText(TimeColumn, entry.at.toString(QStringLiteral("HH:mm:ss")));
    item->setData(TimeColumn, AtRole, entry.at);
    item->setData(TimeColumn, RepeatRole, entry.times);
    item->setText(BibColumn, entry.bib);
    item->setText(ReasonColumn,
                  entry.times == 1
                      ? entry.reason
                      : QStringLiteral("%1（%2回）").arg(entry.reason).arg(entry.times));
    item->setData(ReasonColumn, RepeatRole, entry.reason);
    item->setToolTip(ReasonColumn, entry.reason);
    while (list_->topLevelItemCount() > Kept)
        delete list_->takeTopLevelItem(Kept);
    ShowCount();
}

std::vector<AttentionEntry> AttentionList::Entries() const {
    std::vector<AttentionEntry> entries;
    for (int row = list_->topLevelItemCount() - 1; row >= 0; --row) {
        const QTreeWidgetItem* item = list_->topLevelItem(row);
        entries.push_back({item->data(TimeColumn, AtRole).toDateTime(), item->text(BibColumn),
                           item->data(ReasonColumn, RepeatRole).toString(),
                           item->data(TimeColumn, RepeatRole).toInt()});
    }
    return entries;
}

void AttentionList::Clear() {
    list_->clear();
    if (journal_)
        journal_->KeepOnly({});
    ShowCount();
}

QStringList AttentionList::Lines() const {
    QStringList lines;
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list_->topLevelItem(row);
        lines << QStringLiteral("%1  %2  %3")
                     .arg(item->text(TimeColumn), item->text(BibColumn), item->text(ReasonColumn));
    }
    return lines;
}

void AttentionList::ShowCount() {
    const int count = list_->topLevelItemCount();
    caption_->setText(count == 0 ? QStringLiteral("要確認")
                                 : QStringLiteral("要確認 %1 件").arg(count));
    caption_->setStyleSheet(count == 0
                                ? QStringLiteral("font-weight: bold")
                                : QStringLiteral("font-weight: bold; color: rgb(216, 40, 40)"));
}

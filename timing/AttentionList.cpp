#include "timing/AttentionList.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTime>
#include <QTreeWidget>

namespace {

enum Column { TimeColumn, BibColumn, ReasonColumn };
// Times an entry came, kept on its time cell.
constexpr int RepeatRole = Qt::UserRole;

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

void AttentionList::Add(const QString& bib, const QString& reason) {
    const QString now = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    const QString text = reason.simplified();
    if (QTreeWidgetItem* last = list_->topLevelItem(0);
        last && last->text(BibColumn) == bib &&
        last->data(ReasonColumn, RepeatRole).toString() == text) {
        const int times = last->data(TimeColumn, RepeatRole).toInt() + 1;
        last->setData(TimeColumn, RepeatRole, times);
        last->setText(TimeColumn, now);
        last->setText(ReasonColumn, QStringLiteral("%1（%2回）").arg(text).arg(times));
        return;
    }
    auto* item = new QTreeWidgetItem({now, bib, text});
    item->setData(TimeColumn, RepeatRole, 1);
    item->setData(ReasonColumn, RepeatRole, text);
    item->setToolTip(ReasonColumn, text);
    list_->insertTopLevelItem(0, item);
    while (list_->topLevelItemCount() > Kept)
        delete list_->takeTopLevelItem(Kept);
    ShowCount();
}

void AttentionList::Clear() {
    list_->clear();
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

#include "timing/widgets/StatusShadingDelegate.h"

#include "data/actions/PendingTimeMark.h"
#include "data/sql/TDataSource.h"

#include <QPainter>

StatusShadingDelegate::StatusShadingDelegate(TDataSource& source, QObject* parent)
    : CellTextDelegate(parent), source_(source) {}

QColor StatusShadingDelegate::ShadeOf(const QString& sumi, bool held) {
    if (sumi == QLatin1String("0"))
        return QColor(255, 255, 255);
    // Deep enough to tell from white at a glance.
    if (sumi == QLatin1String("2"))
        return held ? QColor(128, 232, 240) : QColor(204, 182, 236);
    if (sumi == QLatin1String("1"))
        return QColor(253, 128, 128);
    // Amber: a time given back waits for the operator's hand.
    if (sumi == StampGivenBack)
        return QColor(255, 190, 60);
    return {};
}

void StatusShadingDelegate::initStyleOption(QStyleOptionViewItem* option,
                                            const QModelIndex& index) const {
    CellTextDelegate::initStyleOption(option, index);
    option->palette.setColor(QPalette::Text, Qt::black);
    option->palette.setColor(QPalette::HighlightedText, Qt::black);
    // A time typed by hand is italic, as on the pending panel.
    option->font.setItalic(!source_.FieldOfRow(index.row(), QStringLiteral("hand")).isEmpty());
    QColor shade =
        ShadeOf(source_.FieldOfRow(index.row(), QStringLiteral("sumi")),
                source_.FieldOfRow(index.row(), QStringLiteral("held")) == QLatin1String("1"));
    const bool current = option->state & QStyle::State_Selected;
    if (!shade.isValid() && !current)
        return;
    if (!shade.isValid())
        shade = option->palette.color(QPalette::Base);
    // The selection highlight would hide the state: the current row keeps its own colour,
    // a shade darker, and a frame (painted below).
    option->state &= ~QStyle::State_Selected;
    option->backgroundBrush = current ? shade.darker(CurrentRowDarkening) : shade;
}

void StatusShadingDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    CellTextDelegate::paint(painter, option, index);
    if (!(option.state & QStyle::State_Selected))
        return;
    painter->save();
    painter->setPen(QPen(Qt::black, 2));
    const QRect cell = option.rect.adjusted(1, 1, -1, -1);
    painter->drawLine(cell.topLeft(), cell.topRight());
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    if (index.column() == 0)
        painter->drawLine(cell.topLeft(), cell.bottomLeft());
    if (index.column() == index.model()->columnCount() - 1)
        painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->restore();
}

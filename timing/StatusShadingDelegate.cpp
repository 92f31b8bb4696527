#include "StatusShadingDelegate.h"

#include "data/TDataSource.h"

StatusShadingDelegate::StatusShadingDelegate(TDataSource& source, QObject* parent)
    : QStyledItemDelegate(parent), source_(source) {}

QColor StatusShadingDelegate::ShadeOf(const QString& sumi) {
    if (sumi == QLatin1String("0"))
        return QColor(255, 255, 255);
    if (sumi == QLatin1String("2"))
        return QColor(245, 228, 254);
    if (sumi == QLatin1String("1"))
        return QColor(253, 128, 128);
    return {};
}

void StatusShadingDelegate::initStyleOption(QStyleOptionViewItem* option,
                                            const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->palette.setColor(QPalette::Text, Qt::black);
    option->palette.setColor(QPalette::HighlightedText, Qt::black);
    const QColor shade = ShadeOf(source_.FieldOfRow(index.row(), QStringLiteral("sumi")));
    if (shade.isValid())
        option->backgroundBrush = shade;
}

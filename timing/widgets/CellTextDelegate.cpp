#include "timing/widgets/CellTextDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace {

// Enough for every text of a few screens of lists; past it the kept layouts start again.
constexpr int KeptLayouts = 2048;

QPalette::ColorGroup ColorGroupOf(const QStyleOptionViewItem& cell) {
    if (!(cell.state & QStyle::State_Enabled))
        return QPalette::Disabled;
    return cell.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive;
}

bool HasLineBreak(const QString& text) {
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator || c == QLatin1Char('\t'))
            return true;
    }
    return false;
}

} // namespace

void CellTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (!DrawsPlainly(cell)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QWidget* widget = cell.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    // The style's own margins, alignment and colours, so a cell looks as it did.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect textRect = cell.rect.adjusted(margin, 0, -margin, 0);
    const QStaticText& layout = LayoutOf(cell.text, cell.font);
    if (layout.size().width() > textRect.width()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QPalette::ColorGroup group = ColorGroupOf(cell);
    const bool selected = cell.state & QStyle::State_Selected;
    painter->save();
    painter->setClipRect(cell.rect);
    if (selected)
        painter->fillRect(cell.rect, cell.palette.brush(group, QPalette::Highlight));
    else if (cell.backgroundBrush.style() != Qt::NoBrush) {
        painter->setBrushOrigin(cell.rect.topLeft());
        painter->fillRect(cell.rect, cell.backgroundBrush);
    }
    painter->setFont(cell.font);
    painter->setPen(
        cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect placed = QStyle::alignedRect(cell.direction, cell.displayAlignment,
                                             layout.size().toSize(), textRect);
    painter->drawStaticText(placed.topLeft(), layout);
    painter->restore();
}

bool CellTextDelegate::DrawsPlainly(const QStyleOptionViewItem& cell) const {
    // Wrapping is asked of every cell but matters only to a text too wide for it, and such a
    // text goes to the style.
    const auto drawnByStyle =
        QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration;
    return !(cell.features & drawnByStyle) &&
           !(cell.state & (QStyle::State_HasFocus | QStyle::State_Editing)) &&
           cell.direction == Qt::LeftToRight && !HasLineBreak(cell.text);
}

const QStaticText& CellTextDelegate::LayoutOf(const QString& text, const QFont& font) const {
    if (font != layoutFont_ || layouts_.size() >= KeptLayouts) {
        layouts_.clear();
        layoutFont_ = font;
    }
    auto kept = layouts_.find(text);
    if (kept == layouts_.end()) {
        QStaticText layout(text);
        layout.setTextFormat(Qt::PlainText);
        layout.setPerformanceHint(QStaticText::AggressiveCaching);
        layout.prepare(QTransform(), font);
        kept = layouts_.insert(text, layout);
    }
    return *kept;
}

#pragma once
// Draws a grid cell's text from a layout it keeps. A key press repaints every visible row of
// three lists, and laying out the same few hundred times and bibs again each time was most of
// the press's painting. A cell it cannot draw plainly (a focus frame, an editor open, a
// text wider than the cell, an icon or check box) is drawn by the style as before.

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

class CellTextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    bool DrawsPlainly(const QStyleOptionViewItem& cell) const;
    const QStaticText& LayoutOf(const QString& text, const QFont& font) const;

    mutable QHash<QString, QStaticText> layouts_;
    mutable QFont layoutFont_;
};

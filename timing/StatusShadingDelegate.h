#pragma once
// Shades the device-time grid by the processing state of each row: white pending, light red
// assigned, pale lavender discarded or held for a dead heat. The current row shows its own
// state too, a shade darker and framed.

#include <QStyledItemDelegate>

class TDataSource;

class StatusShadingDelegate : public QStyledItemDelegate {
public:
    StatusShadingDelegate(TDataSource& source, QObject* parent);

    // The brush of a row in state sumi; invalid for a state that keeps the grid's own.
    static QColor ShadeOf(const QString& sumi);
    // QColor::darker's factor for the current row: visibly darker, still its own colour.
    static constexpr int CurrentRowDarkening = 118;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    TDataSource& source_;
};

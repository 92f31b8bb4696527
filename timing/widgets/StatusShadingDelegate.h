#pragma once
// Shades the device-time grid by the processing state of each row: white pending, light red
// assigned, lavender discarded, aqua held for a dead heat (the colour of Ed1 while one is
// open; the list's column "held" says which), amber given back to the operator. The current
// row shows its own state too, a shade darker and framed. A time typed by hand is italic.

#include "timing/widgets/CellTextDelegate.h"

class TDataSource;

class StatusShadingDelegate : public CellTextDelegate {
public:
    StatusShadingDelegate(TDataSource& source, QObject* parent);

    // The brush of a row in state sumi, held or not; invalid for a state that keeps the
    // grid's own.
    static QColor ShadeOf(const QString& sumi, bool held = false);
    // QColor::darker's factor for the current row: visibly darker, still its own colour.
    static constexpr int CurrentRowDarkening = 118;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    TDataSource& source_;
};

#pragma once
// Shades the rows of the split list whose passing came after the split point's cut-off (関門),
// so the officials see at a glance who was late; the time is recorded all the same.

#include "timing/widgets/CellTextDelegate.h"

#include <functional>

class TDataSource;

class CutOffShadingDelegate : public CellTextDelegate {
public:
    // `split` gives the split point the list shows now.
    CutOffShadingDelegate(TDataSource& source, std::function<int()> split, QObject* parent);

    static const QColor LateShade;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    TDataSource& source_;
    std::function<int()> split_;
};

#include "timing/widgets/CutOffShadingDelegate.h"

#include "data/sql/TDataSource.h"
#include "timing/session/SplitPointCutOff.h"

const QColor CutOffShadingDelegate::LateShade(255, 214, 120);

CutOffShadingDelegate::CutOffShadingDelegate(TDataSource& source, std::function<int()> split,
                                             QObject* parent)
    : CellTextDelegate(parent), source_(source), split_(std::move(split)) {}

void CutOffShadingDelegate::initStyleOption(QStyleOptionViewItem* option,
                                            const QModelIndex& index) const {
    CellTextDelegate::initStyleOption(option, index);
    const int split = split_();
    const QString passing = source_.FieldOfRow(index.row(), QStringLiteral("midfin%1").arg(split));
    if (PassedAfterCutOff(passing, CutOffOf(split)))
        option->backgroundBrush = LateShade;
}

#include "controls/FocusRect.h"

#include <QList>
#include <QPainter>

namespace {

QList<QPoint> OutlineDots(const QRect& r) {
    QList<QPoint> dots;
    const auto addIfOnPattern = [&dots](int x, int y) {
        if ((x + y) % 2 == 0)
            dots.append(QPoint(x, y));
    };
    for (int x = r.left(); x <= r.right(); ++x) {
        addIfOnPattern(x, r.top());
        if (r.bottom() != r.top())
            addIfOnPattern(x, r.bottom());
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        addIfOnPattern(r.left(), y);
        if (r.right() != r.left())
            addIfOnPattern(r.right(), y);
    }
    return dots;
}

} // namespace

void DrawFocusRect(QPainter& painter, const QRect& rect) {
    if (!rect.isValid())
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(Qt::white);
    painter.drawPoints(OutlineDots(rect));
    painter.restore();
}

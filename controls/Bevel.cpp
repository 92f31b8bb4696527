#include "controls/Bevel.h"

#include <QPainter>

namespace {

// One frame: left column and top row in the top colour, then right column and bottom row in
// the bottom colour, so the top-right and bottom-left corners take the bottom colour.
void DrawFrame(QPainter& painter, const QRect& r, const QColor& top, const QColor& bottom) {
    const int left = r.left(), topY = r.top(), right = r.right(), bottomY = r.bottom();
    painter.fillRect(QRect(QPoint(left, topY), QPoint(left, bottomY - 1)), top);
    painter.fillRect(QRect(QPoint(left, topY), QPoint(right - 1, topY)), top);
    painter.fillRect(QRect(QPoint(right, topY), QPoint(right, bottomY)), bottom);
    painter.fillRect(QRect(QPoint(left, bottomY), QPoint(right, bottomY)), bottom);
}

} // namespace

void DrawBevel(QPainter& painter, QRect& rect, TBevelCut cut, int width, const QColor& highlight,
               const QColor& shadow) {
    if (cut != TBevelCut::bvRaised && cut != TBevelCut::bvLowered)
        return;
    const bool raised = cut == TBevelCut::bvRaised;
    const QColor& top = raised ? highlight : shadow;
    const QColor& bottom = raised ? shadow : highlight;
    for (int i = 0; i < width; ++i) {
        if (!rect.isValid())
            return;
        DrawFrame(painter, rect, top, bottom);
        rect.adjust(1, 1, -1, -1);
    }
}

#pragma once

#include <QRect>

class QPainter;

// The dotted focus frame: every other pixel of the rectangle's outline is inverted, so drawing
// it twice removes it again.
void DrawFocusRect(QPainter& painter, const QRect& rect);

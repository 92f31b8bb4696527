#pragma once

#include <QColor>
#include <QRect>

class QPainter;

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// Draws a bevel of `width` one-pixel frames inside `rect`, from the outside in, and shrinks
// `rect` by the room the bevel took. bvNone and bvSpace draw nothing and take no room.
void DrawBevel(QPainter& painter, QRect& rect, TBevelCut cut, int width, const QColor& highlight,
               const QColor& shadow);

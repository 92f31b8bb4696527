#pragma once
// A label in bold letters of a given pixel size, named for the tests that find it.

#include <QRect>
#include <QString>

class QLabel;
class QWidget;

// Placed there when `place` is given; a label in a layout takes none.
QLabel* BoldLabel(QWidget* parent, const QString& name, int pixels, const QRect& place = {});

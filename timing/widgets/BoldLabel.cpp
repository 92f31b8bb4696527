#include "timing/widgets/BoldLabel.h"

#include <QLabel>

QLabel* BoldLabel(QWidget* parent, const QString& name, int pixels, const QRect& place) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setPixelSize(pixels);
    font.setBold(true);
    label->setFont(font);
    if (place.isValid())
        label->setGeometry(place);
    return label;
}

#include "app/Ucheck.h"

TFcheck* Fcheck = nullptr;

TFcheck::TFcheck(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Fcheck"));
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    setFont(font);
    resize(613, 712);
    // Closing the main window ends the program even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    Fcheck = this;
}

TFcheck::~TFcheck() {
    if (Fcheck == this)
        Fcheck = nullptr;
}

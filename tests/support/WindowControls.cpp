#include "WindowControls.h"

#include <QLineEdit>
#include <gtest/gtest.h>

#include <cstdlib>

void NoSuchControl(const QObject& window, const QString& name, const char* type, qsizetype found) {
    ADD_FAILURE() << found << " controls of type " << type << " named \"" << qPrintable(name)
                  << "\" in " << window.metaObject()->className() << ", one expected";
    std::abort();
}

QList<QLineEdit*> PanelBoxes(const QObject& window) {
    QList<QLineEdit*> boxes;
    for (int k = 1; k <= 10; ++k)
        boxes << FindControl<QLineEdit>(window, QStringLiteral("Ed%1").arg(k));
    return boxes;
}

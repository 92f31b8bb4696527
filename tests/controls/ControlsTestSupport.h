#pragma once

#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <functional>

// A shown, active window holding the control under test and a line edit to move focus to.
template <typename Control> struct ControlWindow {
    QWidget window;
    Control control{&window};
    QLineEdit other{&window};

    ControlWindow() {
        window.resize(300, 200);
        control.move(20, 20);
        other.move(20, 120);
        window.show();
        window.activateWindow();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(&window);
        other.setFocus();
    }
};

inline QImage Grab(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The smallest rectangle within `area` holding every pixel that `match` accepts.
inline QRect BoundingBox(const QImage& image, const QRect& area,
                         const std::function<bool(QColor)>& match) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (match(image.pixelColor(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

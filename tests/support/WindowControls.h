#pragma once
// A window's controls as a test reaches them: by the names the window gave them. A name that
// finds no control of that type, or more than one, fails the test and ends it there, rather
// than letting it go on with a null pointer or the wrong control.

#include <QList>
#include <QObject>
#include <QString>

class QLineEdit;

[[noreturn]] void NoSuchControl(const QObject& window, const QString& name, const char* type,
                                qsizetype found);

template <typename T> T* FindControl(const QObject& window, const QString& name) {
    const QList<T*> found = window.findChildren<T*>(name);
    if (found.size() != 1)
        NoSuchControl(window, name, T::staticMetaObject.className(), found.size());
    return found.first();
}

// Ed1 .. Ed10 of the timing window: the pending times, the head first.
QList<QLineEdit*> PanelBoxes(const QObject& window);

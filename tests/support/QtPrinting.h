#pragma once
// Qt's texts in a failed expectation as the text they hold, not as their bytes.

#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

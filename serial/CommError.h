#pragma once
// The one exception class of the serial-port component.

#include <QString>
#include <stdexcept>

class ECommError : public std::runtime_error {
public:
    explicit ECommError(const char* utf8Message) : std::runtime_error(utf8Message) {}
    QString Message() const { return QString::fromUtf8(what()); }
};

#pragma once
// The program's one family of errors. Each carries the text the operator is shown, read with
// message(); what() gives the same text in UTF-8 for the application's error handler.

#include <QString>
#include <stdexcept>

class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    QString message() const { return message_; }

private:
    QString message_;
};

#pragma once
// One field of a query's current row. Every column reads as text; NULL reads as the empty
// text, as the race tables never hold NULL on purpose.

#include <QString>

class TFieldValue {
public:
    TFieldValue() = default;
    explicit TFieldValue(QString text) : text_(std::move(text)) {}

    QString AsString() const { return text_; }
    // Empty reads as 0; any other text that is not a whole number throws ConversionError.
    int AsInteger() const;
    bool IsEmpty() const { return text_.isEmpty(); }

private:
    QString text_;
};

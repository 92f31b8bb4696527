#include "speech/ReadingText.h"

namespace {

// These shape the sentence melody and the reading of decimals, so they stay.
bool isSentencePunctuation(QChar c) {
    return QStringLiteral("、。,.!?").contains(c);
}

bool isSymbol(QChar c) {
    return (c.isPunct() || c.isSymbol()) && !isSentencePunctuation(c);
}

} // namespace

QString ApplyReadingRules(const QString& reading, bool symbolsAsPause, bool digitByDigit) {
    QString result;
    result.reserve(reading.size() * 2);
    for (const QChar c : reading) {
        if (digitByDigit && c.isDigit() && !result.isEmpty() && result.back().isDigit())
            result += QLatin1Char(' ');
        result += symbolsAsPause && isSymbol(c) ? QChar(u' ') : c;
    }
    return result;
}

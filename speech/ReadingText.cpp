#include "speech/ReadingText.h"

#include "speech/KanaReader.h"
#include "speech/NumberKana.h"
#include "speech/SpokenTime.h"

#include <QRegularExpression>

namespace {

const QString kSeconds = QStringLiteral("秒");

// These shape the sentence melody, so they stay.
bool isSentencePunctuation(QChar c) {
    return QStringLiteral("、。,.!?").contains(c);
}

bool isSymbol(QChar c) {
    return (c.isPunct() || c.isSymbol()) && !isSentencePunctuation(c);
}

// Full-width digits are already ordinary ones here; other scripts' digits are not numbers the
// reading knows.
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

QString hiragana(QString kana) {
    for (QChar& c : kana)
        if (c >= u'\u30A1' && c <= u'\u30F6')
            c = QChar(c.unicode() - 0x60);
    return kana;
}

// Reads a text left to right, numbers by NumberKana and the rest by the KanaReader.
class TextReading {
public:
    TextReading(KanaReader& reader, const QString& text, bool digitByDigit)
        : reader_(reader), text_(text), digitByDigit_(digitByDigit) {}

    QString read() {
        while (at_ < text_.size()) {
            if (isDigit(text_[at_]))
                readNumber();
            else
                readWords();
        }
        return joined();
    }

private:
    // The digits from here, with a decimal point when a digit follows it.
    QString takeDigits(bool withPoint) {
        const qsizetype start = at_;
        while (at_ < text_.size() && isDigit(text_[at_]))
            ++at_;
        if (withPoint && at_ + 1 < text_.size() && text_[at_] == QLatin1Char('.') &&
            isDigit(text_[at_ + 1])) {
            ++at_;
            while (at_ < text_.size() && isDigit(text_[at_]))
                ++at_;
        }
        return text_.mid(start, at_ - start);
    }

    QString takeCounter() {
        for (const QString& counter : KnownCounters()) {
            if (QStringView(text_).mid(at_).startsWith(counter)) {
                at_ += counter.size();
                return counter;
            }
        }
        return QString();
    }

    void readNumber() {
        const QString digits = takeDigits(true);
        const QString counter = takeCounter();
        pieces_ << NumberKana(digits, counter, digitByDigit_);
        if (counter == kSeconds && at_ < text_.size() && isDigit(text_[at_]))
            pieces_ << DigitsKana(takeDigits(false));
    }

    void readWords() {
        const qsizetype start = at_;
        while (at_ < text_.size() && !isDigit(text_[at_]))
            ++at_;
        const QString words = hiragana(reader_.toKana(text_.mid(start, at_ - start))).trimmed();
        if (!words.isEmpty())
            pieces_ << words;
    }

    // A number stands apart from its neighbours, but punctuation stays with what it ends.
    QString joined() const {
        QString reading;
        for (const QString& piece : pieces_) {
            if (!reading.isEmpty() && !piece.front().isPunct())
                reading += QLatin1Char(' ');
            reading += piece;
        }
        return reading;
    }

    KanaReader& reader_;
    const QString& text_;
    const bool digitByDigit_;
    qsizetype at_ = 0;
    QStringList pieces_;
};

QString symbolsToBlanks(QString reading) {
    for (QChar& c : reading)
        if (isSymbol(c))
            c = QLatin1Char(' ');
    return reading;
}

} // namespace

QString ReadingForEngine(KanaReader& reader, const QString& text, bool symbolsAsPause,
                         bool digitByDigit) {
    // Full-width digits would otherwise be read one by one.
    const QString plain = TimesInCounters(text.normalized(QString::NormalizationForm_KC));
    QString reading = TextReading(reader, plain, digitByDigit).read();
    if (symbolsAsPause)
        reading = symbolsToBlanks(reading);
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return reading.replace(blanks, QStringLiteral(" ")).trimmed();
}

#include "speech/NumberKana.h"

#include <array>
#include <vector>

namespace {

const std::array<QString, 10> kDigitWords = {
    QStringLiteral("ぜろ"), QStringLiteral("いち"),  QStringLiteral("に"),   QStringLiteral("さん"),
    QStringLiteral("よん"), QStringLiteral("ご"),    QStringLiteral("ろく"), QStringLiteral("なな"),
    QStringLiteral("はち"), QStringLiteral("きゅう")};

// Beyond this many digits nobody says a number as a whole; it is read digit by digit.
constexpr qsizetype kMaxWholeDigits = 12;

// How a counter sounds after the last word of a number. A word in `geminating` loses its last
// kana to a small っ before the counter (いち → いっぷん); after a word ending in ん the counter
// may take another sound (さんぷん).
struct CounterRule {
    QString counter;
    QString reading;
    QString afterGemination;
    QString afterN;
    QStringList geminating;
    QString four;  // a final 4
    QString nine;  // a final 9
    QString seven; // a final 7
    QString one;   // the whole number 1, when it has a word of its own
    QString two;   // likewise 2
};

QStringList fullGemination() {
    return {QStringLiteral("いち"),   QStringLiteral("ろく"),   QStringLiteral("はち"),
            QStringLiteral("じゅう"), QStringLiteral("ひゃく"), QStringLiteral("びゃく"),
            QStringLiteral("ぴゃく")};
}

// Counters beginning with s or t take the small っ only after 1, 8 and 10 (いっそう, ろくそう,
// いってん).
QStringList sGemination() {
    return {QStringLiteral("いち"), QStringLiteral("はち"), QStringLiteral("じゅう")};
}

CounterRule plainRule(const QString& counter, const QString& reading) {
    CounterRule rule;
    rule.counter = counter;
    rule.reading = rule.afterGemination = rule.afterN = reading;
    rule.four = kDigitWords[4];
    rule.nine = kDigitWords[9];
    rule.seven = kDigitWords[7];
    return rule;
}

CounterRule hourRule(const QString& counter, const QString& reading) {
    CounterRule rule = plainRule(counter, reading);
    rule.four = QStringLiteral("よ");
    rule.nine = QStringLiteral("く");
    return rule;
}

// A time of day: 7時 is しちじ (17時 じゅうしちじ), while a duration stays ななじかん.
CounterRule clockRule() {
    CounterRule rule = hourRule(QStringLiteral("時"), QStringLiteral("じ"));
    rule.seven = QStringLiteral("しち");
    return rule;
}

CounterRule geminatingRule(const QString& counter, const QString& reading,
                           const QStringList& geminating) {
    CounterRule rule = plainRule(counter, reading);
    rule.geminating = geminating;
    return rule;
}

// 分 is ふん after most numbers and ぷん after っ and ん: いっぷん, さんぷん, よんぷん.
CounterRule minuteRule() {
    CounterRule rule =
        geminatingRule(QStringLiteral("分"), QStringLiteral("ふん"), fullGemination());
    rule.afterGemination = rule.afterN = QStringLiteral("ぷん");
    return rule;
}

// One and two people have words of their own; 4 is よ (よにん).
CounterRule peopleRule() {
    CounterRule rule = plainRule(QStringLiteral("人"), QStringLiteral("にん"));
    rule.four = QStringLiteral("よ");
    rule.one = QStringLiteral("ひとり");
    rule.two = QStringLiteral("ふたり");
    return rule;
}

const std::vector<CounterRule>& counterRules() {
    static const std::vector<CounterRule> rules = {
        hourRule(QStringLiteral("時間"), QStringLiteral("じかん")),
        clockRule(),
        minuteRule(),
        plainRule(QStringLiteral("秒"), QStringLiteral("びょう")),
        plainRule(QStringLiteral("番"), QStringLiteral("ばん")),
        plainRule(QStringLiteral("位"), QStringLiteral("い")),
        geminatingRule(QStringLiteral("走"), QStringLiteral("そう"), sGemination()),
        geminatingRule(QStringLiteral("区"), QStringLiteral("く"), fullGemination()),
        peopleRule(),
    };
    return rules;
}

// The decimal point, read てん, sounds like a counter after the whole part: いってん, はってん.
CounterRule pointRule() {
    return geminatingRule(QString(), QStringLiteral("てん"), sGemination());
}

const CounterRule* ruleFor(const QString& counter) {
    for (const CounterRule& rule : counterRules())
        if (rule.counter == counter)
            return &rule;
    return nullptr;
}

// 1 .. 9999 as words; a 1000 before 万 or 億 is いっせん, alone it is せん.
void appendGroup(QStringList& words, int n, bool beforeBigUnit) {
    const int thousands = n / 1000, hundreds = n / 100 % 10, tens = n / 10 % 10, ones = n % 10;
    if (thousands == 1)
        words << (beforeBigUnit ? QStringLiteral("いっせん") : QStringLiteral("せん"));
    else if (thousands == 3)
        words << kDigitWords[3] << QStringLiteral("ぜん");
    else if (thousands == 8)
        words << QStringLiteral("はっ") << QStringLiteral("せん");
    else if (thousands > 0)
        words << kDigitWords[thousands] << QStringLiteral("せん");
    if (hundreds == 1)
        words << QStringLiteral("ひゃく");
    else if (hundreds == 3)
        words << kDigitWords[3] << QStringLiteral("びゃく");
    else if (hundreds == 6 || hundreds == 8)
        words << (hundreds == 6 ? QStringLiteral("ろっ") : QStringLiteral("はっ"))
              << QStringLiteral("ぴゃく");
    else if (hundreds > 0)
        words << kDigitWords[hundreds] << QStringLiteral("ひゃく");
    if (tens > 1)
        words << kDigitWords[tens];
    if (tens > 0)
        words << QStringLiteral("じゅう");
    if (ones > 0)
        words << kDigitWords[ones];
}

// A whole number of at most kMaxWholeDigits digits, without leading zeros, as words.
QStringList wholeWords(const QString& digits) {
    const qint64 n = digits.toLongLong();
    if (n == 0)
        return {kDigitWords[0]};
    QStringList words;
    const qint64 units[] = {100000000, 10000, 1};
    const QString unitWords[] = {QStringLiteral("おく"), QStringLiteral("まん"), QString()};
    for (int i = 0; i < 3; ++i) {
        const int group = int(n / units[i] % 10000);
        if (group == 0)
            continue;
        appendGroup(words, group, i < 2);
        if (i < 2)
            words << unitWords[i];
    }
    return words;
}

QStringList digitWords(const QString& digits) {
    QStringList words;
    for (const QChar c : digits)
        words << kDigitWords[c.digitValue()];
    return words;
}

// The last word of a number changed by the counter after it, and the counter's own sound.
void attachCounter(QStringList& words, const CounterRule& rule) {
    QString& last = words.last();
    if (last == kDigitWords[4])
        last = rule.four;
    else if (last == kDigitWords[9])
        last = rule.nine;
    else if (last == kDigitWords[7])
        last = rule.seven;
    if (rule.geminating.contains(last)) {
        last.chop(1);
        last += QStringLiteral("っ") + rule.afterGemination;
    } else {
        last += last.endsWith(QStringLiteral("ん")) ? rule.afterN : rule.reading;
    }
}

QString withoutLeadingZeros(const QString& digits) {
    qsizetype first = 0;
    while (first + 1 < digits.size() && digits[first] == QLatin1Char('0'))
        ++first;
    return digits.mid(first);
}

} // namespace

const QStringList& KnownCounters() {
    static const QStringList counters = [] {
        QStringList list;
        for (const CounterRule& rule : counterRules())
            list << rule.counter;
        return list;
    }();
    return counters;
}

QString NumberKana(const QString& digits, const QString& counter, bool digitByDigit) {
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const QString whole = withoutLeadingZeros(digits.left(point));
    const CounterRule* rule = ruleFor(counter);
    const bool plainWhole = point < 0 && !digitByDigit && rule;
    if (plainWhole && whole == QStringLiteral("1") && !rule->one.isEmpty())
        return rule->one;
    if (plainWhole && whole == QStringLiteral("2") && !rule->two.isEmpty())
        return rule->two;
    const bool byDigit = digitByDigit || whole.size() > kMaxWholeDigits;
    QStringList words = byDigit ? digitWords(whole) : wholeWords(whole);
    if (point >= 0) {
        attachCounter(words, pointRule());
        words << digitWords(digits.mid(point + 1));
    }
    if (rule)
        attachCounter(words, *rule);
    return words.join(byDigit ? QStringLiteral(" ") : QString());
}

QString DigitsKana(const QString& digits) {
    return digitWords(digits).join(QLatin1Char(' '));
}

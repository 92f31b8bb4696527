#include "speech/SpokenTime.h"

#include <QRegularExpression>

namespace {

// Hours, minutes, seconds and the tenths digit; a running time is never part of a longer run of
// digits, colons and points.
const QRegularExpression& runningTime() {
    static const QRegularExpression pattern(
        QStringLiteral(R"((?<![\d:.])(?:(?:(\d{1,2}):)?(\d{1,2}):)?(\d{1,2})\.(\d)(?![\d:.]))"));
    return pattern;
}

QString field(const QRegularExpressionMatch& match, int group) {
    return QString::number(match.captured(group).toInt());
}

// A field that is zero is not said after a larger one ("1:00:04.5" is 1時間4秒5), and a time
// that ends on a whole minute or hour is ちょうど ("1:00:00.0" is 1時間ちょうど).
QString inCounters(const QRegularExpressionMatch& match) {
    QString text;
    if (match.hasCaptured(1) && match.captured(1).toInt() != 0)
        text += field(match, 1) + QStringLiteral("時間");
    if (match.hasCaptured(2) && (match.captured(2).toInt() != 0 || text.isEmpty()))
        text += field(match, 2) + QStringLiteral("分");
    const bool wholeSeconds = match.captured(3).toInt() == 0 && match.captured(4) == u"0";
    if (wholeSeconds && !text.isEmpty() && text != QStringLiteral("0分"))
        return text + QStringLiteral("ちょうど");
    if (text == QStringLiteral("0分"))
        text.clear();
    return text + field(match, 3) + QStringLiteral("秒") + match.captured(4);
}

} // namespace

QString TimeInCounters(const QString& timeText) {
    const QString time = timeText.trimmed();
    const QRegularExpressionMatch match = runningTime().match(time);
    if (!match.hasMatch() || match.capturedLength() != time.size())
        return QString();
    return inCounters(match);
}

QString TimesInCounters(const QString& text) {
    QString rewritten;
    qsizetype copied = 0;
    for (const QRegularExpressionMatch& match : runningTime().globalMatch(text)) {
        if (!match.hasCaptured(2))
            continue;
        rewritten += text.mid(copied, match.capturedStart() - copied) + inCounters(match);
        copied = match.capturedEnd();
    }
    return rewritten + text.mid(copied);
}

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

QString inCounters(const QRegularExpressionMatch& match) {
    QString text;
    if (match.hasCaptured(1))
        text += field(match, 1) + QStringLiteral("時間");
    if (match.hasCaptured(2))
        text += field(match, 2) + QStringLiteral("分");
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

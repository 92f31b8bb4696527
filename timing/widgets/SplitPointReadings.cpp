#include "timing/widgets/SplitPointReadings.h"

#include "common/uComm.h"
#include "data/rules/SplitRules.h"

#include <QStringList>

namespace {

const QStringList CutOffForms = {QStringLiteral("H:mm:ss"), QStringLiteral("H:mm")};

} // namespace

CutOffEntry ReadCutOffEntry(const QString& typed, int split) {
    return ReadClockEntry(typed, QStringLiteral("中間%1 の関門時刻").arg(split));
}

CutOffEntry ReadClockEntry(const QString& typed, const QString& box) {
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return {true, {}, {}};
    for (const QString& form : CutOffForms) {
        const QTime time = QTime::fromString(text, form);
        if (time.isValid())
            return {true, time.toString(QStringLiteral("HH:mm:ss")), {}};
    }
    return {
        false,
        {},
        QStringLiteral("%1は 時:分 または 時:分:秒 で入力してください。「%2」").arg(box, typed)};
}

QString CutOffCountdown(const std::optional<QTime>& cutOff, QTime now) {
    if (!cutOff)
        return {};
    const QString at = cutOff->toString(QStringLiteral("HH:mm:ss"));
    const int seconds = now.secsTo(*cutOff);
    if (seconds <= 0)
        return QStringLiteral("関門閉鎖 ") + at;
    return QStringLiteral("関門 %1 まで %2").arg(at, AgeText(seconds));
}

QString ThroughText(int split, int through, int expected) {
    return QStringLiteral("中間%1 通過 %2 人 / 残り %3 人").arg(split).arg(through).arg(expected);
}

QString ExchangesText(const std::vector<int>& teamsThrough) {
    QStringList parts;
    for (size_t k = 0; k < teamsThrough.size(); ++k)
        parts << QStringLiteral("中継%1: %2").arg(k + 1).arg(teamsThrough[k]);
    // One exchange a line: a heading is never cut in two.
    return parts.isEmpty() ? QString() : QStringLiteral("通過チーム\n") + parts.join(u'\n');
}

QString WhereaboutsText(const QString& zek, const CompetitorSplits& competitor, int split) {
    if (!competitor.registered)
        return QStringLiteral("ビブNo.%1 はこのレースにいません。").arg(zek);
    if (competitor.start.trimmed().isEmpty())
        return QStringLiteral("ビブNo.%1 は未スタートです。").arg(zek);
    QStringList parts;
    for (int n = 1; n <= competitor.passings.size(); ++n) {
        const QString passing = competitor.passings[n - 1].trimmed();
        if (!passing.isEmpty())
            parts << QStringLiteral("中間%1 %2（%3）")
                         .arg(n)
                         .arg(passing.left(10), competitor.splitTimes.value(n - 1).trimmed());
    }
    const bool through = !competitor.passings.value(split - 1).trimmed().isEmpty();
    if (!through)
        parts << (competitor.lapn > 0 && competitor.lapn < split
                      ? QStringLiteral("中間%1 はこのクラスにありません").arg(split)
                      : QStringLiteral("中間%1 未通過").arg(split));
    return QStringLiteral("ビブNo.%1  スタート %2  ")
               .arg(zek, competitor.start.trimmed().left(10)) +
           parts.join(QStringLiteral("  "));
}

QString ExchangeThroughText(int exchange, int through, int due) {
    return QStringLiteral("中継%1 通過 %2 チーム / 未着 %3 チーム")
        .arg(exchange)
        .arg(through)
        .arg(due);
}

QString NextExpectedText(const std::vector<ExchangeTeam>& due) {
    if (due.empty())
        return QStringLiteral("未着のチームはありません");
    const ExchangeTeam& next = due.front(); // the soonest expected come first
    if (next.expectedAt.isEmpty())
        return QStringLiteral("次の到着予想: まだ到着がなく予想できません");
    return QStringLiteral("次の到着予想 %1（%2走）%3")
        .arg(ShownBib(next.zek))
        .arg(next.runningLeg)
        .arg(next.expectedAt.trimmed().left(10));
}

QString ForcedStartText(const std::optional<QTime>& at, QTime now, const QStringList& teams) {
    QString when;
    if (at) {
        const QString time = at->toString(QStringLiteral("HH:mm:ss"));
        const int seconds = now.secsTo(*at);
        when = seconds > 0 ? QStringLiteral("繰上 %1 まで %2  ").arg(time, AgeText(seconds))
                           : QStringLiteral("繰上時刻 %1 を過ぎました  ").arg(time);
    }
    if (teams.isEmpty())
        return when + QStringLiteral("繰上スタートの対象はありません");
    QStringList shown;
    for (const QString& zek : teams)
        shown << ShownBib(zek);
    return when + QStringLiteral("繰上スタート対象 %1 チーム: %2")
                      .arg(teams.size())
                      .arg(shown.join(QStringLiteral(", ")));
}

#include "common/uComm.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

// Races whose window this process opened: their settings as last in force.
std::map<QString, uComm::RaceSettings>& KeptRaceSettings() {
    static std::map<QString, uComm::RaceSettings> kept;
    return kept;
}

uComm::RaceSettings SettingsInForce() {
    uComm::RaceSettings settings{uComm::MinMeasureMinutes, uComm::RelayMinMeasureMinutes, {}};
    std::copy(std::begin(uComm::CutOffTimes), std::end(uComm::CutOffTimes),
              settings.cutOffs.begin());
    return settings;
}

void PutInForce(const uComm::RaceSettings& settings) {
    uComm::MinMeasureMinutes = settings.lapMinutes;
    uComm::RelayMinMeasureMinutes = settings.relayMinutes;
    std::copy(settings.cutOffs.begin(), settings.cutOffs.end(), std::begin(uComm::CutOffTimes));
}

// A piece of a time text as a signed decimal: leading blanks skipped, anything else that
// is not a number gives 0.
int PieceValue(const QString& piece) {
    bool ok = false;
    int value = piece.trimmed().isEmpty() ? 0 : piece.toInt(&ok);
    if (!ok || piece.endsWith(QLatin1Char(' ')))
        return 0;
    return value;
}

QString Blanks(int n) {
    return QString(n, QLatin1Char(' '));
}

QString TwoDigits(long long v) {
    return QString::asprintf("%.2lld", v);
}

// The text of a non-negative value.
QString NonNegativeTimeText(long long n) {
    const QString f = QString::asprintf("%.3lld", n % 1000).left(3);
    const long long s = n / 1000;
    if (s < 10)
        return Blanks(7) + QString::number(s) + '.' + f;
    if (s < 60)
        return Blanks(6) + QString::number(s) + '.' + f;
    const QString ss = TwoDigits(s % 60);
    const long long m = s / 60;
    if (m < 10)
        return Blanks(4) + QString::number(m) + ':' + ss + '.' + f;
    if (m < 60)
        return Blanks(3) + QString::number(m) + ':' + ss + '.' + f;
    const QString mm = TwoDigits(m % 60);
    const long long h = m / 60;
    if (h < 10)
        return Blanks(1) + QString::number(h) + ':' + mm + ':' + ss + '.' + f;
    return TwoDigits(h) + ':' + mm + ':' + ss + '.' + f;
}

} // namespace

void uComm::TakeRaceSettings() {
    auto& kept = KeptRaceSettings();
    if (const auto it = kept.find(RaceCode); it != kept.end())
        return PutInForce(it->second);
    std::optional<RaceSettings> stored = ReadRaceSettings ? ReadRaceSettings(RaceCode) : std::nullopt;
    PutInForce(stored.value_or(
        RaceSettings{DefaultMinMeasureMinutes, DefaultMinMeasureMinutes, {}}));
    kept[RaceCode] = SettingsInForce();
}

void uComm::KeepRaceSettings() {
    KeptRaceSettings()[RaceCode] = SettingsInForce();
    if (WriteRaceSettings)
        WriteRaceSettings(RaceCode, SettingsInForce());
}

void uComm::ForgetRaceSettings() {
    KeptRaceSettings().clear();
}

int TimeTextToMs(const QString& t) {
    const int hours = PieceValue(t.mid(0, 2));
    const int minutes = PieceValue(t.mid(3, 2));
    const int seconds = PieceValue(t.mid(6, 2));
    const int fraction = t.size() <= 10 ? PieceValue(t.mid(9, 1)) * 100 : PieceValue(t.mid(9, 3));
    return fraction + ((hours * 60 + minutes) * 60 + seconds) * 1000;
}

QString MsToTimeText(int ms) {
    if (ms >= 0)
        return NonNegativeTimeText(ms);
    // Only a gap between pending times that arrived out of order is negative: keep the
    // width and put the sign where the leading blanks end.
    QString text = NonNegativeTimeText(-static_cast<long long>(ms));
    const int firstDigit = static_cast<int>(text.size() - text.trimmed().size());
    if (firstDigit > 0)
        text[firstDigit - 1] = QLatin1Char('-');
    else
        text.prepend(QLatin1Char('-'));
    return text;
}

QString MsToTenthsText(int ms) {
    const QString text = MsToTimeText(ms);
    const auto dot = text.indexOf(QLatin1Char('.'));
    return dot < 0 ? text : text.left(dot + 2);
}

int ElapsedMs(const QString& from, const QString& to) {
    const int d = TimeTextToMs(to) - TimeTextToMs(from);
    return d < 0 ? d + 86'400'000 : d;
}

QString ElapsedTimeText(const QString& from, const QString& to) {
    return MsToTimeText(ElapsedMs(from, to));
}

QString TrimDiff(const QString& t) {
    const QString trimmed = t.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 6)
        return trimmed;
    return Blanks(static_cast<int>(7 - trimmed.size())) + trimmed;
}

QString FormatBib4(int bib) {
    return QString::asprintf("%.4d", bib);
}

int StrToInt(const QString& text) {
    bool ok = false;
    const int value = text.endsWith(QLatin1Char(' ')) ? 0 : text.toInt(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' は有効な整数ではありません").arg(text));
    return value;
}

QString AgeText(qint64 seconds) {
    // A time stamped ahead of the clock that measures it (a row written by hand) is new.
    seconds = std::max<qint64>(seconds, 0);
    if (seconds < 60)
        return QStringLiteral("%1秒").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1分%2秒").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
    return QStringLiteral("%1時間%2分")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QChar('0'));
}

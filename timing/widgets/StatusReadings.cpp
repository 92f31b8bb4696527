#include "timing/widgets/StatusReadings.h"

#include "common/uComm.h"
#include "device/DeviceClock.h"

namespace {

const QString Gap = QStringLiteral("  ");

StripReading PortReading(const DeviceLineFacts& facts) {
    const QString port = facts.port.isEmpty() ? QStringLiteral("ポートなし") : facts.port;
    switch (facts.state) {
    case DeviceLineState::Closed:
        return {port + QStringLiteral(" 閉"), StripColours::Idle};
    case DeviceLineState::Lost:
        return {port + QStringLiteral(" 切断 再接続待ち"), StripColours::Trouble};
    case DeviceLineState::Open:
        break;
    }
    const QString since = facts.anyLine
                              ? QStringLiteral("最終受信 %1前").arg(AgeText(facts.quietSeconds))
                              : QStringLiteral("受信なし %1").arg(AgeText(facts.quietSeconds));
    if (facts.quietSeconds >= facts.quietLimitSeconds)
        return {port + QStringLiteral(" 無通信 ") + since, StripColours::Warning};
    // Open is not receiving: a port with nothing behind it opens as well as any.
    if (!facts.anyLine)
        return {port + QStringLiteral(" 開 ") + since, StripColours::Idle};
    return {port + QStringLiteral(" 受信中 ") + since, StripColours::Good};
}

} // namespace

StripReading DeviceLineReading(const DeviceLineFacts& facts) {
    StripReading reading = PortReading(facts);
    // Said while the line is up: beside 切断 it would be noise.
    if (const QString offset = facts.clockOffsetMs && facts.state == DeviceLineState::Open
                                   ? ClockOffsetText(*facts.clockOffsetMs)
                                   : QString();
        !offset.isEmpty())
        reading.text += Gap + offset;
    if (facts.invalidTimeLines == 0)
        return reading;
    reading.text += Gap + QStringLiteral("時刻不正 %1 行").arg(facts.invalidTimeLines);
    if (reading.colour != StripColours::Trouble)
        reading.colour = StripColours::Warning;
    return reading;
}

QString DataSourceLabel(const QString& sourceName) {
    const QString source = sourceName.section(QLatin1Char('/'), 0, 0);
    const QString prefix = QStringLiteral("Tarnik");
    return source.startsWith(prefix) && source.size() > prefix.size() ? source.mid(prefix.size())
                                                                      : source;
}

StripReading DatabaseReading(const DatabaseFacts& facts) {
    QString waiting;
    if (facts.unsaved > 0)
        waiting += Gap + QStringLiteral("未保存 %1 件").arg(facts.unsaved);
    if (facts.unsent > 0)
        waiting +=
            Gap +
            QStringLiteral("未送信 %1 件 %2").arg(facts.unsent).arg(AgeText(facts.unsentSeconds));
    const QString source = QStringLiteral("DB ") + DataSourceLabel(facts.sourceName);
    // Nothing is safe on the disk: an alarm, not an outage.
    if (!facts.journalTrouble.isEmpty())
        return {source + QStringLiteral(" 日誌に保存できません（メモリのみ）") + waiting,
                StripColours::Trouble};
    // Known and expected: the work goes on into the journals.
    if (!facts.offline.isEmpty())
        return {source + QLatin1Char(' ') + facts.offline + waiting, StripColours::Warning};
    if (!facts.connected || facts.unsentSeconds >= UnsentAlertSeconds)
        return {source + (facts.connected ? QStringLiteral(" 接続中") : QStringLiteral(" 切断")) +
                    waiting,
                StripColours::Trouble};
    return {source + QStringLiteral(" 接続中") + waiting,
            waiting.isEmpty() ? StripColours::Good : StripColours::Warning};
}

StripReading LastActionReading(const LastAction& action) {
    if (!action.note.isEmpty())
        return {action.note.simplified(),
                action.recorded ? StripColours::Good : StripColours::Trouble};
    const QString& bib = action.bib;
    if (!action.recorded)
        return {bib + Gap + action.refusal.simplified(), StripColours::Trouble};
    const QString recorded = bib + Gap + action.what + Gap + action.timeTaken.trimmed() + Gap +
                             action.timeOfDay.trimmed();
    if (action.afterCutOff)
        return {recorded + Gap + QStringLiteral("関門後"), StripColours::Warning};
    return {recorded, StripColours::Good};
}

StripReading WaitingReading(const WaitingFacts& facts) {
    const QString count = QStringLiteral("未処理 %1 件").arg(facts.count);
    if (facts.count == 0)
        return {count, StripColours::Idle};
    const QString text = count + QStringLiteral(" 最古 ") + AgeText(facts.oldestAgeSeconds);
    return {text, facts.count > WaitingAlertCount ? StripColours::Warning : StripColours::Good};
}

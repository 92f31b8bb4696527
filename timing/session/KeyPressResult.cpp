#include "timing/session/KeyPressResult.h"

#include "common/uComm.h"
#include "data/rules/RelayLegs.h"
#include "data/rules/SplitRules.h"
#include "timing/session/TypedDigit.h"

namespace {

const QString NotABibMessage = QStringLiteral("ビブNo.を数字で入力してください。");
// Longer than any bib, and within an int.
constexpr int MaxBibDigits = 9;

} // namespace

KeyPressResult ReadBib(const QString& box) {
    KeyPressResult result;
    result.box = box;
    result.bib = box;
    QString digits;
    for (const QChar c : box.trimmed())
        digits += QLatin1Char(DigitOf(QString(c)));
    if (digits.isEmpty() || digits.contains(QChar(0)) || digits.size() > MaxBibDigits) {
        result.refusal = NotABibMessage;
        return result;
    }
    result.box = result.bib = FormatBib4(digits.toInt());
    return result;
}

KeyPressResult DiscardHead(const QString& box, const std::optional<StampRef>& head) {
    KeyPressResult result;
    result.box = box;
    if (!head) {
        result.refusal = NothingPendingMessage;
        return result;
    }
    ActionRequest discard;
    discard.kind = ActionRequest::Kind::Discard;
    discard.stamp = *head;
    result.action = PlannedAction{{}, QStringLiteral("破棄 ") + head->time, discard};
    result.shown = NoteAction(QStringLiteral("破棄 ") + TenthsForm(head->time), true);
    return result;
}

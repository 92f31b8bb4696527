// Times given back to the operator: a split this workstation cancelled, a key press of it the
// server refused. Each is listed under 要確認 with the bib it came from and waits, amber in the
// device-time grid, until the operator gives it a bib or discards it (PopupMenu1Popup).
#include "Uhand.h"

#include "data/actions/ActionHistory.h"
#include "data/actions/GivenBackTime.h"
#include "data/rules/RelayLegs.h"
#include "timing/widgets/AttentionList.h"

void TFhand::ConnectGivenBackHandlers() {
    const auto tell = [this](const OperatorAction& action) {
        TellTimesGivenBack(action.bib, action.changes);
    };
    connect(History.get(), &ActionHistory::Applied, this, tell);
    connect(History.get(), &ActionHistory::Refused, this, tell);
}

void TFhand::TellTimesGivenBack(const QString& bib, const std::vector<RowChange>& changes) {
    // Listed without the strip's beep: the cancel was the operator's own, and a refusal has
    // been told already.
    for (const QString& time : TimesGivenBack(changes))
        Attention->Add(bib, QStringLiteral("戻ったタイム %1（%2 から）").arg(TenthsForm(time), bib));
}

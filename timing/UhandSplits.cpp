// Split-time assignment: bib + Enter, discard, dead heat. The lap session decides a key press
// at once from what is known of the race (the cache and the pending panel); the window shows
// it and hands its action to the action writer: typing never waits for the server.
#include "Uhand.h"

#include "common/ErrorReport.h"
#include "common/uComm.h"
#include "controls/REdit.h"
#include "data/Udm1.h"
#include "data/rules/SplitRules.h"
#include "timing/session/LapSession.h"
#include "timing/widgets/KeyDownFilter.h"

#include <QLineEdit>
#include <algorithm>

namespace {

// The box shows what was taken: a bib recorded, or "0" and the like, which were done.
QString NotTypedAnewMessage(const QString& noun, const QString& shown, int key) {
    const bool bib = !shown.isEmpty() && shown != QStringLiteral("0") &&
                     std::all_of(shown.begin(), shown.end(), [](QChar c) { return c.isDigit(); });
    return QStringLiteral("%1を入力してから %2 を押してください（%3 は%4です）。")
        .arg(noun, key == 32 ? QStringLiteral("Space") : QStringLiteral("Enter"), shown,
             bib ? QStringLiteral("記録済み") : QStringLiteral("処理済み"));
}

} // namespace

void TFhand::ConnectSplitHandlers() {
    new KeyDownFilter(Edit5, [this](int key) { RunKeyPress(Edit5, [&] { Edit5KeyDown(key); }); });
    // Any edit of a bib box, the same bib typed again included, is a new entry.
    for (QLineEdit* box : {Edit5, Edit3})
        connect(box, &QLineEdit::textEdited, this, [this, box] { boxesNotTypedAnew_.erase(box); });
    ConnectMinutesBox(RE1, uComm::MinMeasureMinutes);
}

void TFhand::ConnectMinutesBox(TREdit* box, QString& setting) {
    connect(box, &TREdit::OnExit, this,
            [this, box, &setting] { RunGuarded([&] { MinutesBoxExit(box, setting); }); });
    // Enter takes the minutes and gives the keyboard back to the bib box; a line break
    // would join the next digits to them ("10", Enter, "5" would read 105).
    new KeyDownFilter(box, [this, box, &setting](int key) {
        if (key == 13)
            RunGuarded([&] { MinutesBoxExit(box, setting); });
        if (QLineEdit* bibBox = BibBoxOnShow())
            ReselectBibBox(bibBox);
    });
}

void TFhand::Edit5KeyDown(int key) {
    if ((key == 13 || key == 32) && !RefusedAsNotTypedAnew(Edit5, key) &&
        !RefusedWithoutRace(Edit5))
        ShowKeyPress(Edit5, Lap->Press(Edit5->text(), key == 13 ? BibKey::Enter : BibKey::Space,
                                       HeadStamp(), uComm::MinMeasureMinutes));
}

// Enter again on the bib just recorded would give that runner the next time as well.
bool TFhand::RefusedAsNotTypedAnew(QLineEdit* bibBox, int key) {
    if (boxesNotTypedAnew_.count(bibBox) == 0)
        return false;
    const QString noun = bibBox == Edit3 ? QStringLiteral("チームNo.") : QStringLiteral("ビブNo.");
    Tell(bibBox->text(), NotTypedAnewMessage(noun, bibBox->text(), key));
    return true;
}

void TFhand::FollowRecordedBib() {
    if (!followedBib_.isEmpty())
        Dm1->Qmidtime.Locate(QStringLiteral("zek"), followedBib_);
}

// Only a whole number of minutes is taken, and kept as the race's own; anything else is told,
// and the box shows the last minutes taken again, which the key presses go on using.
void TFhand::MinutesBoxExit(TREdit* box, QString& setting) {
    if (const std::optional<int> minutes = MinimumMinutesOf(box->Text())) {
        setting = QString::number(*minutes);
        uComm::KeepRaceSettings();
    } else {
        Tell({}, MinutesBoxMessage + QStringLiteral("「%1」").arg(MinutesEntry(box->Text())));
    }
    box->SetText(setting);
}

// Split-time assignment: bib + Enter, discard, dead heat. The lap session decides a key press
// at once from what is known of the race (the cache and the pending panel); the window shows
// it and hands its action to the action writer: typing never waits for the server.
#include "Uhand.h"

#include "common/ErrorReport.h"
#include "common/uComm.h"
#include "controls/REdit.h"
#include "data/SplitRules.h"
#include "timing/KeyDownFilter.h"
#include "timing/LapSession.h"

#include <QLineEdit>

void TFhand::ConnectSplitHandlers() {
    new KeyDownFilter(Edit5, [this](int key) { RunKeyPress(Edit5, [&] { Edit5KeyDown(key); }); });
    connect(RE1, &TREdit::OnExit, this, Guarded(this, &TFhand::RE1Exit));
    // Enter takes the minutes and gives the keyboard back to the bib box; a line break
    // would join the next digits to them ("10", Enter, "5" would read 105).
    new KeyDownFilter(RE1, [this](int key) {
        if (key == 13)
            RE1Exit();
        if (QLineEdit* bibBox = BibBoxOnShow())
            ReselectBibBox(bibBox);
    });
}

void TFhand::Edit5KeyDown(int key) {
    if (key == 13 || key == 32)
        ShowKeyPress(Edit5, Lap->Press(Edit5->text(), key == 13 ? BibKey::Enter : BibKey::Space,
                                       HeadStamp(), uComm::MinMeasureMinutes));
}

// Only a whole number of minutes is taken; anything else is told, and the box shows the last
// minutes taken again, which the key presses go on using.
void TFhand::RE1Exit() {
    if (const std::optional<int> minutes = MinimumMinutesOf(RE1->Text()))
        uComm::MinMeasureMinutes = QString::number(*minutes);
    else
        Tell({}, MinutesBoxMessage + QStringLiteral("「%1」").arg(MinutesEntry(RE1->Text())));
    RE1->SetText(uComm::MinMeasureMinutes);
}

#pragma once
// What a key press of a bib box comes to, decided without a window from what this
// workstation knows of the race: the window shows it (box, strip, 要確認, statement log,
// voice, list) and keeps and sends its action. The steps both pages share live here too.

#include "data/actions/ActionRequest.h"
#include "data/actions/PendingTimeMark.h"
#include "timing/session/LastAction.h"

#include <QString>
#include <QStringList>
#include <optional>

// The two keys that finish a bib: Enter takes the time, Space holds it for a dead heat.
enum class BibKey { Enter, Space };

// An action decided: kept in the journal and sent by the action writer.
struct PlannedAction {
    QString bib;  // empty for an action on no one (a discard)
    QString what; // as the history lists it
    ActionRequest request;
    bool marksChange = false; // the suite's change marker is written with it
};

struct KeyPressResult {
    QString box;     // the bib box's text after the press: the bib in four digits once read
    QString bib;     // whom the press concerns, for the 要確認 list
    QString refusal; // told; nothing else was done
    std::optional<PlannedAction> action;
    std::optional<LastAction> shown; // the strip's last key press
    QStringList log;                 // the arithmetic and statements, for the statement log
    QString announcement;
    int listToShow = 0;        // the split point or leg whose list follows now; 0 unchanged
    QString statement;         // the relay team's read, as a key press would send it
    bool deadHeatOpen = false; // a time stays held for the next bib of a dead heat
    // Recorded, yet the operator is to look again: told as a refusal is, after the record.
    QString warning;

    bool Refused() const { return !refusal.isEmpty(); }
};

// The box's bib as four digits (half- or full-width digits); refused with the reason when it
// holds no bib.
KeyPressResult ReadBib(const QString& box);
// "0" and Enter: the stamp at the head of the panel is discarded.
KeyPressResult DiscardHead(const QString& box, const std::optional<StampRef>& head);

#pragma once
// The last key press of a timing page as the status strip tells it: what was recorded, or why
// nothing was. The sessions say it in these words; the strip gives them their colour.

#include <QString>

struct RelayOutcome;
struct SplitOutcome;

struct LastAction {
    bool recorded = false;
    QString bib;       // four digits
    QString what;      // "中間2", "3走"
    QString timeTaken; // the split or leg time
    QString timeOfDay; // the device time used
    QString refusal;
    // What else was done or failed, said as it is ("破棄 10:05:03.0"); shown instead.
    QString note;
    // A passing recorded after its split point's cut-off (関門).
    bool afterCutOff = false;
};
// A discard, cancel, undo or reset as the strip says it: green when done, red when not.
LastAction NoteAction(const QString& note, bool done);
LastAction SplitAction(const SplitOutcome& outcome, const QString& bib, const QString& time);
LastAction RelayAction(const RelayOutcome& outcome, const QString& bib, const QString& time);

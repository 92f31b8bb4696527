#pragma once
// What a key press's decision read of one competitor or relay team, as one text that the
// workstation makes from its copy of the race and the server makes from its rows in the same
// form: the action's writes apply only while the two are the same, whoever changed the rows
// meanwhile (another workstation, headquarters, another program). The server's text comes
// back with the answer, so the writer can decide again without another read.
//
// Competitor: start, the class's split limit, midtime1..5, midfin1..5, midst2..5, each cell
// as the hex of its bytes, joined by ",". Team: RELAYN of its class, "|", then each leg up to
// the page's limit as "leg:start:finish:forced", joined by ";". Empty: no such bib.

#include <QString>
#include <QStringList>

struct CompetitorSplits;
struct RelayTeam;

QString CompetitorStateText(const CompetitorSplits& competitor);
CompetitorSplits CompetitorFromState(const QString& state);
QString TeamStateText(const RelayTeam& team);
RelayTeam TeamFromState(const QString& bib, const QString& state);

// Statements of a compound block that set `{state}` (a LONGTEXT) to the bib's text as the
// server holds it, locking its rows; a team's also use `{scratch}` (an INT).
QStringList CompetitorStateStatements(const QString& bib);
QStringList TeamStateStatements(const QString& bib);

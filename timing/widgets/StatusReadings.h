#pragma once
// What the status strip says about each thing the operator watches, and in which colour: the
// device line, the database, the last key press and the times waiting for a bib. Plain
// values in, text and colour out, so every state can be checked without a window.

#include "timing/session/LastAction.h"

#include <QColor>
#include <QString>

#include <optional>

// One field of the strip: its words and its background.
struct StripReading {
    QString text;
    QColor colour;
};

namespace StripColours {
inline const QColor Idle(208, 208, 208);  // nothing to watch
inline const QColor Good(64, 176, 64);    // working
inline const QColor Warning(240, 168, 0); // look soon
inline const QColor Trouble(216, 40, 40); // look now
} // namespace StripColours

// Lost: the chosen port's device went away or is not there yet; the port is tried again.
enum class DeviceLineState { Closed, Open, Lost };

struct DeviceLineFacts {
    QString port; // "COM3"; empty when no port is chosen
    DeviceLineState state = DeviceLineState::Closed;
    // Seconds since the last completed line, or since the port opened when none came yet.
    qint64 quietSeconds = 0;
    bool anyLine = false;
    int quietLimitSeconds = 30; // this long without a line while open: 無通信
    // Stamp lines whose time of day could not be read: passings without a usable time.
    int invalidTimeLines = 0;
    // The device's clock minus this machine's while it sends (said beyond a second).
    std::optional<qint64> clockOffsetMs;
};
StripReading DeviceLineReading(const DeviceLineFacts& facts);

struct DatabaseFacts {
    QString sourceName; // the connection's source, "TarnikLocal" or "TarnikLocal/race1"
    bool connected = false;
    int unsaved = 0;          // device stamps waiting for the database
    int unsent = 0;           // operator actions waiting for the database
    qint64 unsentSeconds = 0; // how long the oldest of them has waited
    QString journalTrouble;   // why stamps or actions are held in memory only
    // The window opened from its copy of the race and the server has not answered since:
    // "オフライン（10:42 の控え）".
    QString offline;
};
// Actions waiting this long turn the field from amber to red.
inline constexpr int UnsentAlertSeconds = 30;
StripReading DatabaseReading(const DatabaseFacts& facts);
// "Local", "Test" or "Server" for the program's data sources; any other name as it is.
QString DataSourceLabel(const QString& sourceName);

// The last key press as the strip shows it: green recorded, amber after a cut-off, red refused.
StripReading LastActionReading(const LastAction& action);

struct WaitingFacts {
    int count = 0;
    qint64 oldestAgeSeconds = 0;
};
// Beyond the panel's ten boxes a waiting time cannot be seen: the count turns amber.
inline constexpr int WaitingAlertCount = 10;
StripReading WaitingReading(const WaitingFacts& facts);

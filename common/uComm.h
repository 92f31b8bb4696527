#pragma once
// Process-wide settings and the time-text routines shared by every window.
//
// Times of day travel as text "HH:MM:SS.ffff"; arithmetic is on 32-bit milliseconds.
// The reading is positional: separators are never looked at, nothing is rounded.

#include "common/AppError.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <stdexcept>

namespace uComm {
// The race in work (its tcode), chosen when the timing window opens; not stored.
inline QString RaceCode;
// Number n of the timing device's port COMn; 0 = none.          [Port] Alge
inline int DevicePortNo = 0;
// The race in work's own settings, [Race <tcode>] in the file: a marathon's cut-offs never
// show on the ekiden, nor its minimum time. TakeRaceSettings fills them when a window opens
// the race.
// Minimum measuring time of the lap page in minutes, kept as typed.           LapMin
inline QString MinMeasureMinutes = QStringLiteral("5");
// The relay page's own minimum measuring time in minutes.                      RelayMin
inline QString RelayMinMeasureMinutes = QStringLiteral("5");
// The cut-off (関門) time of day of split points 1 .. 5, "HH:MM:SS"; empty: none. Mid1 .. Mid5
inline QString CutOffTimes[5];
// The minimum time of a race with none of its own.                [ENV] LapMin
inline QString DefaultMinMeasureMinutes = QStringLiteral("5");

struct RaceSettings {
    QString lapMinutes;
    QString relayMinutes;
    std::array<QString, 5> cutOffs;
};
// Where a race's settings outlive its window: the program points these at the file. A race
// the store does not know reads as std::nullopt.
inline std::function<std::optional<RaceSettings>(const QString& raceCode)> ReadRaceSettings;
inline std::function<void(const QString& raceCode, const RaceSettings&)> WriteRaceSettings;
// The race in work's settings from what this process kept, else the store, else defaults
// (the default minimum, no cut-offs).
void TakeRaceSettings();
// The settings in force kept as the race in work's, and written to the store.
void KeepRaceSettings();
// Forgets what this process kept, so the store is read again.
void ForgetRaceSettings();
// The exchange the relay page stands at (中継所 n: legs n and n + 1 meet); 0 when not said.
//                                                                 [ENV] Exchange
inline int RelayExchange = 0;
// Read only, so a site sets them by hand; the file keeps what it says.
// A beep when a timing key press is refused, 1 on, 0 off.        [ENV] RefusalSound
inline bool RefusalSound = true;
// Seconds without a device line, port open, before the line counts as quiet. [Port] QuietSeconds
inline int DeviceQuietSeconds = 30;
// Voice settings.                                                 [Talk]
inline int Speaker = 3;
inline int Voicetype = 5;
inline int Voiceint = 5;
inline int Voicew = 6;
inline int Voicem = 6;
inline int Speed = 6;
inline int Vol = 5;
// Values this program only keeps: read at start, written back unchanged.
inline int ID = 233;    // [AMB] ID
inline int VerUpNo = 0; // [AMB] VerUpNo
inline int Onsei = 0;   // [Talk] Onsei
} // namespace uComm

// Milliseconds of a time of day: hours from characters 1-2, minutes 4-5, seconds 7-8,
// then tenths (text of 10 characters or fewer) or up to three fraction digits as
// milliseconds. A piece that is not a number counts as 0.
int TimeTextToMs(const QString& t);

// Right-aligned running-time text with three decimals, 12 characters for 0 .. 99:59:59.999.
// A negative value is the text of its magnitude with a minus sign before the first digit.
QString MsToTimeText(int ms);

// MsToTimeText cut after the tenths digit (nothing is rounded).
QString MsToTenthsText(int ms);

// Running time from one time of day to another, wrapping once past midnight.
int ElapsedMs(const QString& from, const QString& to);
QString ElapsedTimeText(const QString& from, const QString& to);

// A gap text right-aligned in 7 characters (longer texts unchanged, blank gives empty).
QString TrimDiff(const QString& t);

// A span of seconds as the operator reads it: "45秒", "3分05秒", "1時間02分".
QString AgeText(qint64 seconds);

// "%.4d": the bib form of result.zek and relaymember.zek.
QString FormatBib4(int bib);

// The integer conversion of operator input; throws ConversionError on anything that is
// not a whole number (leading blanks and a sign are allowed).
class ConversionError : public AppError {
public:
    using AppError::AppError;
};
int StrToInt(const QString& text);

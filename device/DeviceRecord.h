#pragma once
// A time stamp of the timing device: which lines are stamps, the record kept of one, and the
// statement that stores it. Positions count from 1:
//   1 status (" ", "?" or "c"), 2-5 bib, 7-8 channel "C1", 11-23 time of day.
//   " 0012 C1  12:34:56.7890 00"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A line is a stamp of channel C1 when its status character and channel say so.
bool IsTimeStampLine(const QByteArray& line);

// The part of a received line that is read as the device line: control bytes before the
// status character are left out, and after line noise with no line end of its own, the
// complete stamp with a valid time of day that ends the line. Otherwise the line itself.
QByteArray DeviceLineIn(const QByteArray& line);

// The record of a stamp line: its first 26 characters, each byte the database cannot hold as
// sent (control bytes, bytes above 0x7E) written as "?", so the row is never refused for them.
QString DeviceRecordOf(const QByteArray& line);

// Records of 22 characters or fewer carry no time of day and are not stored.
bool IsStorableRecord(const QString& record);

// Whether positions 11-23 hold a time of day: hours, minutes, seconds, 1-4 decimals, then
// blanks. A record without one is refused: it never becomes a pending time.
bool HasTimeOfDay(const QString& record);

// Whether the stamp of a record waits for a bib: one with status "c" is stored, never offered.
bool IsOfferedRecord(const QString& record);

// The time of day of a record: positions 11-23, but a time with two decimals (11 characters
// once trimmed) is filled to four with "00".
QString DeviceTimeOf(const QString& record);

// The insert of one record into tdc_mid for the race, one statement line per fragment.
// journalId names the row for good: a second insert of the same record is refused as a
// duplicate key, so a record is never stored twice. Without it the row is not named.
QStringList DeviceInsertLines(const QString& raceCode, const QString& record,
                              const QString& journalId);

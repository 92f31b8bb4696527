#pragma once
// The strip along the bottom of the timing window: the device line, the database, the times
// waiting for a bib, and the last key press in large letters. The window tells it what
// happens; the strip keeps the clocks and says it again every second, so a line that went
// quiet or a time left waiting shows without anyone pressing a key. At its end, large, the
// clock of this machine to the tenth, to compare with the device's.

#include "timing/widgets/StatusReadings.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QTimer>
#include <functional>

class DeviceClock;
class QLabel;
class RefusalTone;

class StatusStrip : public QFrame {
public:
    static constexpr int Height = 58;

    explicit StatusStrip(QWidget* parent);

    void ShowPortClosed(const QString& port);
    void ShowPortOpened(const QString& port);
    void ShowPortLost(const QString& port);
    void LineReceived();
    // A stamp line came whose time of day could not be read.
    void InvalidTimeLineReceived();

    // Asked at every refresh: the connection can be lost by any statement.
    void SetDatabaseProbe(std::function<DatabaseFacts()> probe);
    // The device's clock, whose difference from this machine's the device field says.
    void FollowClock(const DeviceClock* clock) { deviceClock_ = clock; }
    void ShowWaiting(const WaitingFacts& facts);
    // A refusal also beeps, when the setting asks for it.
    void ShowOutcome(const LastAction& action);
    // The server stopped answering: one beep, the database field red until it is back; the
    // last key press stays in view.
    void ShowServerLost();
    void ShowServerBack();

    enum class Field { Device, Database, Waiting, Action };
    // What the field shows now.
    StripReading Shown(Field field) const;

    void Refresh();

private:
    void ShowPort(const QString& port, DeviceLineState state);
    static void Paint(QLabel* label, const StripReading& reading);
    void ShowClock();

    QLabel* device_;
    QLabel* database_;
    QLabel* waiting_;
    QLabel* action_;
    QLabel* clock_;
    RefusalTone* tone_;
    QTimer ticks_;
    QTimer clockTicks_;

    QString port_;
    DeviceLineState portState_ = DeviceLineState::Closed;
    QElapsedTimer quiet_; // since the last line, or since opening
    bool anyLine_ = false;
    int invalidTimeLines_ = 0;
    std::function<DatabaseFacts()> databaseProbe_;
    const DeviceClock* deviceClock_ = nullptr;
    bool serverLost_ = false;
    WaitingFacts waitingFacts_;
    QElapsedTimer waitingSince_; // since the waiting times were counted
    StripReading lastAction_{QStringLiteral("—"), StripColours::Idle};
};

#include "timing/widgets/StatusStrip.h"

#include "common/uComm.h"
#include "device/DeviceClock.h"
#include "timing/widgets/BoldLabel.h"
#include "timing/widgets/RefusalTone.h"

#include <QGridLayout>
#include <QDateTime>
#include <QLabel>
#include <QTime>

namespace {

constexpr int RefreshMs = 1000;
// The clock shows tenths: a tick each tenth, a label set only when its text changes.
constexpr int ClockMs = 100;
constexpr int ClockWidth = 190;
// Light backgrounds take black letters, dark ones white.
constexpr int LightBackground = 140;

QLabel* MakeField(QWidget* parent, const QString& name, int pixels) {
    QLabel* label = BoldLabel(parent, name, pixels);
    label->setContentsMargins(6, 0, 6, 0);
    label->setAutoFillBackground(true);
    // A long refusal is cut at the strip's edge instead of widening the window.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

} // namespace

StatusStrip::StatusStrip(QWidget* parent)
    : QFrame(parent), device_(MakeField(this, QStringLiteral("StripDevice"), 13)),
      database_(MakeField(this, QStringLiteral("StripDatabase"), 13)),
      waiting_(MakeField(this, QStringLiteral("StripWaiting"), 13)),
      action_(MakeField(this, QStringLiteral("StripAction"), 22)),
      clock_(MakeField(this, QStringLiteral("StripClock"), 34)), tone_(new RefusalTone(this)) {
    setObjectName(QStringLiteral("StatusStrip"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(2);
    grid->addWidget(device_, 0, 0);
    grid->addWidget(database_, 0, 1);
    grid->addWidget(waiting_, 0, 2);
    grid->addWidget(action_, 1, 0, 1, 3);
    grid->addWidget(clock_, 0, 3, 2, 1);
    grid->setRowStretch(1, 1);
    clock_->setFixedWidth(ClockWidth);
    clock_->setAlignment(Qt::AlignCenter);
    Paint(clock_, {QString(), Qt::black});
    connect(&ticks_, &QTimer::timeout, this, &StatusStrip::Refresh);
    ticks_.start(RefreshMs);
    connect(&clockTicks_, &QTimer::timeout, this, &StatusStrip::ShowClock);
    clockTicks_.setTimerType(Qt::PreciseTimer);
    clockTicks_.start(ClockMs);
    ShowClock();
    Refresh();
}

void StatusStrip::ShowClock() {
    const QTime time = QTime::currentTime();
    const QString now =
        time.toString(QStringLiteral("HH:mm:ss.")) + QString::number(time.msec() / 100);
    if (clock_->text() != now)
        clock_->setText(now);
}

void StatusStrip::ShowPort(const QString& port, DeviceLineState state) {
    port_ = port;
    portState_ = state;
    anyLine_ = false;
    quiet_.start();
    Refresh();
}

void StatusStrip::ShowPortClosed(const QString& port) {
    ShowPort(port, DeviceLineState::Closed);
}

void StatusStrip::ShowPortOpened(const QString& port) {
    ShowPort(port, DeviceLineState::Open);
}

void StatusStrip::ShowPortLost(const QString& port) {
    ShowPort(port, DeviceLineState::Lost);
}

void StatusStrip::LineReceived() {
    anyLine_ = true;
    quiet_.start();
    Refresh();
}

void StatusStrip::InvalidTimeLineReceived() {
    ++invalidTimeLines_;
    Refresh();
}

void StatusStrip::SetDatabaseProbe(std::function<DatabaseFacts()> probe) {
    databaseProbe_ = std::move(probe);
    Refresh();
}

void StatusStrip::ShowWaiting(const WaitingFacts& facts) {
    waitingFacts_ = facts;
    waitingSince_.start();
    Refresh();
}

void StatusStrip::ShowOutcome(const LastAction& action) {
    lastAction_ = LastActionReading(action);
    if (!action.recorded)
        tone_->Sound();
    Refresh();
}

void StatusStrip::ShowServerLost() {
    serverLost_ = true;
    tone_->Sound();
    Refresh();
}

void StatusStrip::ShowServerBack() {
    serverLost_ = false;
    Refresh();
}

StripReading StatusStrip::Shown(Field field) const {
    const QLabel* label = field == Field::Device     ? device_
                          : field == Field::Database ? database_
                          : field == Field::Waiting  ? waiting_
                                                     : action_;
    return {label->text(), label->palette().color(QPalette::Window)};
}

void StatusStrip::Refresh() {
    const qint64 quietSeconds = quiet_.isValid() ? quiet_.elapsed() / 1000 : 0;
    Paint(device_,
          DeviceLineReading({port_, portState_, quietSeconds, anyLine_, uComm::DeviceQuietSeconds,
                             invalidTimeLines_,
                             deviceClock_ ? deviceClock_->OffsetMs(QDateTime::currentDateTime())
                                    : std::nullopt}));
    if (databaseProbe_) {
        DatabaseFacts facts = databaseProbe_();
        facts.connected = facts.connected && !serverLost_;
        Paint(database_, DatabaseReading(facts));
    }
    WaitingFacts waiting = waitingFacts_;
    if (waitingSince_.isValid())
        waiting.oldestAgeSeconds += waitingSince_.elapsed() / 1000;
    Paint(waiting_, WaitingReading(waiting));
    Paint(action_, lastAction_);
}

void StatusStrip::Paint(QLabel* label, const StripReading& reading) {
    // Refreshed on every key press and every second: a field that reads the same is not
    // touched, so it is not painted again.
    if (label->text() == reading.text && label->palette().color(QPalette::Window) == reading.colour)
        return;
    label->setText(reading.text);
    label->setToolTip(reading.text);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, reading.colour);
    palette.setColor(QPalette::WindowText,
                     qGray(reading.colour.rgb()) > LightBackground ? Qt::black : Qt::white);
    label->setPalette(palette);
}

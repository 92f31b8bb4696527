#include "controls/CuteButtonTimer.h"

#include "controls/CuteBtn.h"

TCuteButtonTimer::TCuteButtonTimer(TCuteButton* button, int delayMs)
    : QTimer(button), FCuteButton(button) {
    setSingleShot(true);
    setInterval(delayMs);
}

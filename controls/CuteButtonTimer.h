#pragma once

#include <QTimer>

class TCuteButton;

// The one-shot timer of a delayed drop-down: it remembers the button that started it and is
// owned by that button, so it goes with the button.
class TCuteButtonTimer : public QTimer {
public:
    TCuteButtonTimer(TCuteButton* button, int delayMs);

    TCuteButton* CuteButton() const { return FCuteButton; }

private:
    TCuteButton* FCuteButton;
};

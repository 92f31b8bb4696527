#pragma once
// The check-list window: every competitor of the race in work with all split times, for
// review and correction. Created hidden at start-up and shown from the timing window.

#include <QWidget>

class TFcheck : public QWidget {
    Q_OBJECT

public:
    explicit TFcheck(QWidget* parent = nullptr);
    ~TFcheck() override;
};

// The window of the running program (set while a TFcheck exists), for the timing window to
// show.
extern TFcheck* Fcheck;

#pragma once
// The check-list window: every competitor of the race in work with all split times, for
// review and correction. Created hidden at start-up and shown from the timing window.

#include <QWidget>

class TEditGrid;

class TFcheck : public QWidget {
    Q_OBJECT

public:
    explicit TFcheck(QWidget* parent = nullptr);
    ~TFcheck() override;

    TEditGrid* DBGck2 = nullptr;

    // The window it is centred on when shown.
    void SetMainWindow(QWidget* window) { mainWindow_ = window; }

    // Fills the list of the race in work, writes its statement to the statement file first
    // and shows the window, not modal. An error writing the file is thrown and nothing
    // opens.
    void OpenList();
    // Where the statement of the last opening is recorded.
    static QString StatementFilePath();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    QPoint WithinScreen(QPoint topLeft) const;
    void FormClose();

    QWidget* mainWindow_ = nullptr;
};

// The window of the running program (set while a TFcheck exists), which the main window
// shows when the timing window asks for it.
extern TFcheck* Fcheck;

#pragma once
// The check-list window: every competitor of the race in work with all split times, for
// review and correction. Created hidden at start-up and shown from the timing window.

#include "app/CheckListUndo.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class CheckListRowWriter;
class QPushButton;
class TEditGrid;
class TFhand;

class TFcheck : public QWidget {
    Q_OBJECT

public:
    explicit TFcheck(QWidget* parent = nullptr);
    ~TFcheck() override;

    TEditGrid* DBGck2 = nullptr;
    // "元に戻す": the list's own undo, as Ctrl+Z in the grid.
    QPushButton* BtnCheckUndo = nullptr;

    // The window it is centred on when shown.
    void SetMainWindow(QWidget* window) { mainWindow_ = window; }
    // While the timing window is open, an edit is one of its actions, taken back from its lap
    // page; once it is closed, the list keeps its edits to take back itself.
    void RecordEditsIn(TFhand* timingWindow);

    // Fills the list of the race in work, writes its statement to the statement file first
    // and shows the window, not modal. An error writing the file is thrown and nothing
    // opens.
    void OpenList();
    // Where the statement of the last opening is recorded.
    static QString StatementFilePath();
    // Before the program ends: what waits in the list is written; what cannot be is dropped
    // only when the operator says so (Yes/No). False when the program is to go on.
    bool MayEndProgram();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    QPoint WithinScreen(QPoint topLeft) const;
    void FormClose();
    // Writes what the operator typed and what waits in the list; false, with the reasons
    // shown, when some of it was refused.
    bool SaveChanges();
    void KeepEdit(const QStringList& columns, const QStringList& readValues,
                  const QStringList& newValues, const std::vector<RowChange>& changes);
    void UndoLastEdit();
    // The button is live while the list has an edit of its own to take back.
    void ShowUndoable();

    QWidget* mainWindow_ = nullptr;
    std::unique_ptr<CheckListRowWriter> rowWriter_;
    QPointer<TFhand> timingWindow_;
    CheckListUndo undo_;
};

// The window of the running program (set while a TFcheck exists), which the main window
// shows when the timing window asks for it.
extern TFcheck* Fcheck;

#pragma once
// The timing window: the operator's single working surface for one race. Pending device
// times on the left; the lap and split page, the settings page and the relay page beside
// them. The handlers keep the names of the controls and events they serve; their bodies
// live in one source file per area (Uhand*.cpp).

#include "common/ErrorReport.h"
#include "data/RaceInWork.h"
#include "data/actions/OperatorAction.h"
#include "data/reads/ListReader.h"
#include "data/reads/RaceCopyStore.h"
#include "device/DeviceClock.h"
#include "device/DeviceLineAssembler.h"
#include "serial/CommX.h"
#include "timing/ServerLinkWatch.h"
#include "timing/session/PendingView.h"
#include "timing/session/StampsAheadOfLists.h"
#include "timing/widgets/PortListCombo.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTreeWidget;
class QButtonGroup;
class ActionHistory;
class ListReading;
class AttentionList;
class QTimer;
class LapSession;
class RaceCache;
class RelaySession;
struct ForcedStartPlan;
struct KeyPressResult;
struct LastAction;
class SplitPointPage;
class StatusStrip;
class SpeechPanelLogic;
class TCuteButton;
class TSmarTalk;
class StampStore;
class TDBGrid;
class TREdit;

class TFhand : public QDialog {
    Q_OBJECT
public:
    explicit TFhand(QWidget* owner = nullptr);
    ~TFhand() override;

    // Before showing: the relay page for a relay race, the lap page otherwise.
    void ChooseTimingPage(bool relay);
    // Before showing: the race is kept on the disk as this window reads it, so that a later
    // window can time from it while the server does not answer (UhandCopy.cpp).
    void KeepCopiesOf(const RaceInWork& race);
    // Before showing, instead of reading the race: opens it from the copy (the server does
    // not answer); the lists follow once it does.
    void OpenFromCopy(RaceCopyStore::Found copy);
    // This workstation's actions, for those who watch them come back from the server.
    const ActionHistory& Actions() const;
    // Actions not yet in the database, and lists asked for and not yet read (the tests wait
    // for neither).
    int UnsentCount() const;
    bool ReadingLists() const;
    // A row of the check list written, with the rows its write changed: kept as an action of
    // the lap page.
    void RecordCheckListEdit(const QStringList& columns, const QStringList& readValues,
                             const QStringList& newValues, const std::vector<RowChange>& changes);

signals:
    // "チェックリスト" was clicked: the program's check list is to open beside this window.
    void CheckListWanted();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // The window's frame (UhandFrame.cpp).
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // --- Shared by every page -------------------------------------------------------------
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr; // "周回計測": lap and split timing
    QWidget* TabSheet2 = nullptr; // device and voice settings
    QWidget* TabSheet3 = nullptr; // "リレー計測": relay timing
    QWidget* TabSheet4 = nullptr; // "操作履歴": this workstation's actions and their undoing
    SplitPointPage* TabSheet5 = nullptr; // "通過状況": the split point's own view (UhandView.cpp)
    QLabel* LabView = nullptr;           // lap page: through, still expected, the cut-off
    QLabel* LabExchanges = nullptr;      // relay page: teams through each exchange
    std::array<QLineEdit*, 5> CutOffBoxes{}; // settings page: 関門 of each split point

    QFrame* Panel1 = nullptr; // pending-time panel
    QLabel* Label8 = nullptr;
    QLineEdit *Ed1 = nullptr, *Ed2 = nullptr, *Ed3 = nullptr, *Ed4 = nullptr, *Ed5 = nullptr,
              *Ed6 = nullptr, *Ed7 = nullptr, *Ed8 = nullptr, *Ed9 = nullptr, *Ed10 = nullptr;
    QLineEdit *Eddf12 = nullptr, *Eddf23 = nullptr, *Eddf34 = nullptr, *Eddf45 = nullptr,
              *Eddf56 = nullptr, *Eddf67 = nullptr, *Eddf78 = nullptr, *Eddf89 = nullptr,
              *Eddf910 = nullptr;
    // Ed1 .. Ed10 and Eddf12 .. Eddf910 in order, for the routines that walk them.
    std::array<QLineEdit*, 10> TimeBoxes{};
    std::array<QLineEdit*, 9> GapBoxes{};

    QFrame* Panel3 = nullptr; // minimum measuring time of the lap page
    TREdit* RE1 = nullptr;
    // The relay page's own minimum time, where the lap page shows Panel3.
    QFrame* RelayMinutesPanel = nullptr;
    TREdit* RelayMinutes = nullptr;
    TREdit* BuildMinutesPanel(QFrame*& panel, const QString& panelName, const QString& boxName);

    TCuteButton* CuteButton = nullptr; // "×"
    QLineEdit* Edit2 = nullptr;
    QMenu* PopupMenu1 = nullptr; // device-time and relay grids: opening it assigns by hand
    QMenu* PopupMenu2 = nullptr; // split list
    QAction* N1 = nullptr;       // "取り消し"
    // Below the pages: the device line, the database, the waiting times, the last key press.
    StatusStrip* Strip = nullptr;
    // "要確認" on the timing pages: refusals and troubles until the operator clears them.
    AttentionList* Attention = nullptr;
    QTreeWidget* HistoryList = nullptr; // the actions of the history page, newest first
    // This workstation's actions: kept in the action journal, sent by the action writer,
    // and taken back.
    std::unique_ptr<ActionHistory> History;
    // What key presses are decided from, without asking the server.
    std::unique_ptr<RaceCache> Cache;
    // The lists, read in the background.
    std::unique_ptr<ListReading> Lists;

    // --- Lap and split page ---------------------------------------------------------------
    QLineEdit* Edit5 = nullptr; // bib entry
    QLabel* Labmisyori = nullptr;
    TDBGrid* DBGrid1 = nullptr; // device times, shaded by state
    TDBGrid* DBGrid2 = nullptr; // split list
    TDBGrid* DBGrid3 = nullptr; // passing log
    TCuteButton *CuteButton1 = nullptr, *CuteButton2 = nullptr, *CuteButton3 = nullptr,
                *CuteButton4 = nullptr, *CuteButton5 = nullptr;
    std::array<TCuteButton*, 5> SplitButtons{};
    QLineEdit* Edit1 = nullptr;         // bib for a manual assignment
    QPushButton* Button2 = nullptr;     // "初期化"
    QPushButton* BtnUndo1 = nullptr;    // "元に戻す": the lap page's last action
    TCuteButton* CuteButton6 = nullptr; // "チェックリスト"
    QPushButton* BtnHandTime = nullptr; // "手入力": a time the device missed, typed
    QPushButton* BtnRelayHandTime = nullptr; // the same on the relay page

    // --- Settings page --------------------------------------------------------------------
    PortListCombo* Cbxcomm1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr; // received characters
    QPlainTextEdit* Memo3 = nullptr; // accepted lines
    QCheckBox* LogShown = nullptr;   // "ログ": shows the two boxes below
    QLineEdit* Edit6 = nullptr;      // statement of the relay lists
    QPlainTextEdit* Memo2 = nullptr; // arithmetic and statements of assignments
    QFrame* pOnseiTest = nullptr;
    QComboBox* CBspeaker = nullptr;
    QSlider *TB1 = nullptr, *TBvol = nullptr, *TBvoicem = nullptr, *TBvoicew = nullptr,
            *TBint = nullptr, *TBtype = nullptr;
    TCuteButton* CuteButton65 = nullptr; // "音声テスト"
    TCuteButton* CuteButton48 = nullptr; // "初期化" of the voice panel
    QGroupBox* RGoto = nullptr;
    QRadioButton *RGotoOff = nullptr, *RGotoOn = nullptr; // "無し", "有り"
    QButtonGroup* RGotoItems = nullptr;                   // item index 0 and 1
    TSmarTalk* St1 = nullptr;                             // the speech control, hidden
    SpeechPanelLogic* Speech = nullptr; // queue, pump Timer1 and the voice panel's handlers

    // --- Relay page -----------------------------------------------------------------------
    QLineEdit* Edit3 = nullptr; // relay team bib entry
    TCuteButton *CtBR1 = nullptr, *CtBR2 = nullptr, *CtBR3 = nullptr, *CtBR4 = nullptr;
    std::array<TCuteButton*, 10>
        LegButtons{}; // "１走" .. "１０走"; from "５走" on, shown for ekiden
    TDBGrid* DBGrid6 = nullptr;
    QCheckBox* CkBLast = nullptr;     // "最終走者も処理"
    QSpinBox* SpExchange = nullptr;   // the exchange this workstation stands at
    QLabel* LabLegShown = nullptr;    // whose leg the grid lists
    int legShown_ = 0;
    QPushButton* Button3 = nullptr;   // "リレー初期化"
    QPushButton* BtnUndo3 = nullptr;  // "元に戻す": the relay page's last action
    QPushButton* BtnForced = nullptr; // "繰上スタート"

    // --- Window state ---------------------------------------------------------------------
    QString DisplayedSplit = QStringLiteral("1"); // split point shown, "1" .. "5"

    // --- Pending times and split points ---------------------------------------------------
    // Asks for the pending times and the lists as the server holds them; they show once read,
    // in the background.
    void ListPendingTimes();
    // The gaps between the panel's times.
    void ShowPendingGaps();
    // The panel as this workstation knows it, then the lists asked for: after a change of the
    // server's that this workstation made or heard of.
    void RefreshPanel();
    void CuteButton1Click();
    void CuteButton2Click();
    void CuteButton3Click();
    void CuteButton4Click();
    void CuteButton5Click();
    void reflcuteb();
    void DBGrid1KeyDown();
    void TabSheet1Show();
    void TabSheet2Show();
    void TabSheet3Show();
    void FormShow();

    // --- Split-time assignment ------------------------------------------------------------
    void Edit5KeyDown(int key);
    // Bib boxes that still show the bib of their last key press taken, not typed anew since:
    // Enter or Space there is told and records nothing (true when so).
    std::set<const QLineEdit*> boxesNotTypedAnew_;
    bool RefusedAsNotTypedAnew(QLineEdit* bibBox, int key);
    // The competitor last recorded from the keyboard: the split list shows that row after each
    // read, until the operator picks a row of it with the mouse.
    QString followedBib_;
    void FollowRecordedBib();
    void ConnectMinutesBox(TREdit* box, QString& setting);
    void MinutesBoxExit(TREdit* box, QString& setting);
    // The race's own minimum times and cut-offs, put in force and shown as the window opens it.
    void ShowRaceSettings();

    // --- Corrections and resets -----------------------------------------------------------
    // The split list's row the operator last clicked, as it showed then: the cancel names and
    // takes that row whatever the lists read meanwhile.
    struct SplitRowClicked {
        QString split, zek, bib, passing;
    };
    std::optional<SplitRowClicked> splitRowClicked_;
    void NoteSplitRowClicked();
    void N1Click();
    void PopupMenu1Popup();
    void DBGrid2DblClick();
    void Button2Click();
    void CuteButtonClick();
    // Times given back to the operator (a cancel, a refusal, a check-list clear): each listed
    // under 要確認 with the bib it came from (UhandGivenBack.cpp).
    void ConnectGivenBackHandlers();
    void TellTimesGivenBack(const QString& bib, const std::vector<RowChange>& changes);

    // --- Relay timing ---------------------------------------------------------------------
    void Edit3KeyDown(int key);
    void CtBR1Click();
    void CtBR2Click();
    void CtBR3Click();
    void CtBR4Click();
    // The leg buttons beyond "４走": shown as far as the race's longest class goes.
    void ShowEkidenLegButtons();
    void Button3Click();
    // A forced start: asked once, then sent as any action (UhandRelay.cpp).
    void BtnForcedClick();
    void IssueForcedStart(const ForcedStartPlan& plan);

    // --- Check list -----------------------------------------------------------------------
    void CuteButton6Click();

    // --- Times typed by hand (UhandHandTime.cpp) -------------------------------------------
    void ConnectHandTimeHandlers();
    void BtnHandTimeClick();
    // The typed time sent as a stamp: kept, sent, and shown on the panel at once.
    void IssueHandStamp(const QString& time);

    // --- Undo and the action history (UhandUndo.cpp) ------------------------------------------
    // Ctrl+Z and "元に戻す": the last action of the page on show is taken back.
    void UndoLastAction();
    void ShowHistory();

    // --- Device input (UhandDevice.cpp) ---------------------------------------------------
    TCommX* CommX1 = nullptr;     // the timing device's port, 2400 bit/s
    QLabel* Labunsaved = nullptr; // "未保存 N 件": device stamps not yet in the database
    void FormCreate();
    void Cbxcomm1Change();
    void com1open(int PortNo);
    void CommX1Receive(QObject* Sender, int ReceiveSize);
    // The device's line went away (cable pulled, adapter unplugged): said once, port closed,
    // the choice kept and the port tried again until the device is back.
    void CommX1PortLost();
    // Opens port PortNo as the device's line; false, the port closed, when it does not open.
    bool OpenDevicePort(int PortNo);
    // The chosen port's device is away: told once, the port tried every few seconds.
    void AwaitDevice(const QString& told);
    void RetryDevicePort();
    // A half-duplex send that did not leave the port in time.
    void CommX1SendStuck();
    QTimer* deviceRetry_ = nullptr;

    // Layout (UhandLayout.cpp).
    void BuildWindow();
    void BuildPendingPanel();
    void BuildLapPage();
    void BuildSettingsPage();
    void BuildRelayPage();
    void BuildHistoryPage();
    // The split point's own view (UhandView.cpp).
    void BuildViewPage();
    void BuildCutOffBoxes(QWidget* page, int top);
    void ConnectViewHandlers();
    std::vector<ListRead> ViewReads() const;
    void ShowView(const ListSnapshots& lists);
    void TickView();
    void CutOffBoxExit(int split);
    void BuildStatusStrip();
    void PlacePagesAndStrip(); // UhandFrame.cpp
    void DisarmDefaultButtons();
    // Wiring of each area, called once from the constructor (UhandWiring.cpp); each is
    // defined in the source file of its area.
    void ConnectHandlers();
    void ConnectPendingHandlers();    // UhandPending.cpp
    void ConnectSplitHandlers();      // UhandSplits.cpp
    void ConnectCorrectionHandlers(); // UhandCorrections.cpp
    void ConnectRelayHandlers();      // UhandRelay.cpp
    void ConnectSpeechHandlers();     // UhandSpeech.cpp
    void ConnectDeviceHandlers();     // UhandDevice.cpp
    void ConnectCheckListHandlers();  // UhandCheckList.cpp
    void ConnectAttentionHandlers();  // UhandAttention.cpp
    void ConnectUndoHandlers();       // UhandUndo.cpp

    // Speech (UhandSpeech.cpp): the voice settings shown and applied when the window shows.
    void ShowVoiceSettings();

    // Split point n on show; its list is read at once, or with the next list refresh.
    void ChooseSplitPoint(int n, bool readNow = true);
    // The page the operator works on, and its bib box (none on the other pages).
    ActionPage PageOnShow() const;
    QLineEdit* BibBoxOnShow() const;
    // Runs a key press of a bib box: whatever comes of it (recorded, refused, or an error,
    // which is told), the box is selected again, so the next bib replaces this one.
    void RunKeyPress(QLineEdit* bibBox, const std::function<void()>& body);
    // A refusal or a trouble: red on the strip with the beep, and listed under 要確認.
    void Tell(const QString& bib, const QString& reason);
    // Errors while the window is open go to the strip and the 要確認 list, never to a box.
    void ShowErrorsHere(bool here);
    // Focus to Ed1 and back to the bib box, so its whole text is selected for the next bib.
    void ReselectBibBox(QLineEdit* bibBox);
    // Pending times (UhandPending.cpp): the panel and its gaps as this workstation sees them,
    // without asking the server; the stamp the next key press takes.
    void ShowPendingTimes();
    void ShowGaps();
    // A panel box showing a time typed by hand says so.
    static void MarkTypedByHand(QLineEdit* box, bool byHand);
    std::optional<StampRef> HeadStamp() const;
    // The pending times and the lists: their statement, what a read brought, read here and
    // now (when the window opens).
    QStringList PendingStatement() const;
    void ShowLists(const ListSnapshots& lists);
    void ReadListsHere();
    void TakePendingRows();
    // The race's rows for the key presses, read whole, with this workstation's actions the
    // server has not taken yet over them; or those of one bib, read again with the lists.
    void LoadCache();
    // What the lists' read brought of other workstations' splits and legs, and the whole race
    // read again.
    void FillCache(const ListSnapshots& lists);
    void TakeChanges(const TQuery& changes);
    bool WholeRaceDue() const;
    static constexpr int WholeRaceEveryMs = 3 * 60 * 1000;
    qint64 changesSeen_ = 0;      // the change list's last number this copy has
    qint64 wholeChangeSeen_ = 0;  // the last reset it knows of
    bool wholeRaceWanted_ = false;
    int wholeRaceAsked_ = 0; // the list request that reads the whole race
    QElapsedTimer wholeRaceRead_;
    // What came of an action the writer sent.
    void ActionApplied(const OperatorAction& action, const QString& note);
    // Bibs this workstation's copy did not know, sent as 確認待ち: said once the server decided.
    bool WasAwaitingConfirmation(const OperatorAction& action);
    std::set<QString> awaitingConfirmation_;
    void ActionRefused(const OperatorAction& action);
    // How a link to the server fared (the lists, a writer): an outage told once when it
    // begins and once when it ends (UhandUndo.cpp).
    void WatchServer(const QString& link, const QString& trouble);
    ServerLinkWatch serverLink_;
    PendingSnapshot pendingSnapshot_;
    StampsAheadOfLists unstoredAhead_; // this workstation's stamps
    StampsAheadOfLists takenAhead_;    // the stamps its actions took
    StampsAheadOfLists addedAhead_;    // the stamps its actions typed by hand
    PendingList pending_;
    int listedSplit_ = 0; // the split point whose list was last read

    // The key presses of the two pages, decided without the window.
    std::unique_ptr<LapSession> Lap;
    std::unique_ptr<RelaySession> Relay;
    // What a key press of `bibBox` came to, shown; its action kept and sent
    // (UhandAttention.cpp).
    void ShowKeyPress(QLineEdit* bibBox, const KeyPressResult& result);
    // A decided action: kept, sent, and shown in the cache at once.
    OperatorAction Send(const QString& bib, const QString& what, const ActionRequest& request,
                        bool marksChange = false);

    // The list of leg `leg` below the relay grid (UhandRelay.cpp).
    void ShowLegList(int leg);
    // The list a key press leads to, unless the operator has scrolled the one on show.
    void FollowLeg(int leg);
    // Ed1's background: white in normal work, aqua while a dead heat is open.
    void PaintEd1(const QColor& colour);

    // Device input (UhandDevice.cpp): the line in progress, the way of each stamp into
    // tdc_mid, and the count of stamps still waiting for the database.
    void TakeDeviceLine(const QByteArray& line);
    void ShowUnsavedCount();
    void StampsWaitingChanged();
    void RefreshAfterStamps();
    // Closing within a minute of the last received line asks first; true to close.
    bool ConfirmCloseWhileReceiving();
    DeviceLineAssembler deviceLine_;
    DeviceClock deviceClock_; // as the stamps show it
    StampStore* stamps_ = nullptr;
    QElapsedTimer lastDeviceLine_; // started at each completed line, invalid while closed

    // The race copy on the disk (UhandCopy.cpp): written after reads, restored when the
    // window opens without the server.
    void RestoreCopy();
    void RaceReadFromServer();
    void KeepRaceCopy();
    void KeepPendingCopy();
    QString OfflineText() const;
    // A bib typed in a window that knows no race (opened offline without a copy): refused.
    bool RefusedWithoutRace(QLineEdit* bibBox);
    std::optional<RaceInWork> copiedRace_;
    std::unique_ptr<RaceCopyStore> copies_;
    std::optional<RaceCopyStore::Found> openedFrom_; // until the server answers
    QDateTime raceRead_;       // when the race was last read from the server
    bool raceCopyDue_ = false; // read since the copy was written
    PendingCopy pendingKept_;
    QString copyProblem_;
    bool linkWanted_ = false; // the window's own link waits for the server's first answer

    bool shown_ = false;
    // The error reporter in place before this window showed its own.
    ErrorReporter otherReporter_;
    bool showingErrors_ = false;
};

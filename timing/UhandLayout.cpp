// The timing window's controls and where they stand. The pending-time panel and the
// minimum-time panel float over the pages on the left; each page keeps its controls to the
// right of them.
#include "Uhand.h"

#include "common/ProgramFiles.h"
#include "controls/CuteBtn.h"
#include "controls/REdit.h"
#include "data/Udm1.h"
#include "data/actions/ActionHistory.h"
#include "data/reads/RaceCache.h"
#include "data/rules/RelayLegs.h"
#include "device/StampStore.h"
#include "speech/SpeechPanelLogic.h"
#include "timing/session/LapSession.h"
#include "timing/session/RelaySession.h"
#include "timing/widgets/AttentionList.h"
#include "timing/widgets/BoldLabel.h"
#include "timing/widgets/CutOffShadingDelegate.h"
#include "timing/widgets/SplitPointPage.h"
#include "timing/widgets/StatusShadingDelegate.h"
#include "timing/widgets/StatusStrip.h"
#include "timing/widgets/TDBGrid.h"
#include "timing/widgets/WholeTextOnClick.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

constexpr int PageLeft = 262; // left edge of each page's own controls

QFont PixelFont(int pixels, bool bold = false) {
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const QString& name, const QRect& geometry, int fontPixels,
                    const QString& text = {}) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    edit->setFont(PixelFont(fontPixels, fontPixels >= 20));
    return edit;
}

// The keys a bib box takes: digits, and on the relay page a leading "*" that asks for a
// forced start at the exchange whose number follows ("*2").
const QString LapBibKeys = QStringLiteral("[0-9０-９]*");
const QString RelayBibKeys = QStringLiteral("[*＊]?[0-9０-９]*");

// A bib box: large digits, no input method (the operator types numbers only); any other key
// is refused and changes nothing.
QLineEdit* MakeBibBox(QWidget* parent, const QString& name, const QRect& geometry,
                      const QString& keys) {
    QLineEdit* box = MakeEdit(parent, name, geometry, 32, QStringLiteral("0"));
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(keys), box));
    box->setAlignment(Qt::AlignRight);
    new WholeTextOnClick(box);
    return box;
}

// The bib box of a timing page with its label and the two key instructions beside it.
QLineEdit* MakeBibEntry(QWidget* page, const QString& name, const QString& keys) {
    MakeLabel(page, QStringLiteral("ビブ"), QRect(PageLeft, 22, 30, 20));
    QLineEdit* box = MakeBibBox(page, name, QRect(PageLeft + 32, 8, 150, 46), keys);
    MakeLabel(page, QStringLiteral("0 Enter で先頭のタイムを破棄"),
              QRect(PageLeft + 196, 10, 260, 20));
    MakeLabel(page, QStringLiteral("ビブ + Space で同着"), QRect(PageLeft + 196, 32, 260, 20));
    return box;
}

// "元に戻す": the page's last action taken back; in the same place on both timing pages.
QPushButton* MakeUndoButton(QWidget* page, const QString& name) {
    auto* button = new QPushButton(QStringLiteral("元に戻す"), page);
    button->setObjectName(name);
    button->setGeometry(PageLeft + 540, 64, 100, 28);
    button->setToolTip(QStringLiteral("このページの最後の操作を取り消します (Ctrl+Z)"));
    return button;
}

TCuteButton* MakeButton(QWidget* parent, const QString& name, const QString& caption,
                        const QRect& geometry) {
    auto* button = new TCuteButton(parent);
    button->setObjectName(name);
    button->SetCaption(caption);
    button->setGeometry(geometry);
    button->setFont(PixelFont(14));
    return button;
}

// Lines of statements and arithmetic kept in the log box: a few minutes of key presses.
constexpr int StatementLogLines = 500;

QPlainTextEdit* MakeMemo(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setGeometry(geometry);
    memo->setFont(PixelFont(12));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    return memo;
}

TDBGrid* MakeGrid(QWidget* parent, const QString& name, const QRect& geometry,
                  TDataSource& source) {
    auto* grid = new TDBGrid(parent);
    grid->setObjectName(name);
    grid->setGeometry(geometry);
    grid->setFont(PixelFont(13));
    grid->SetDataSource(&source);
    return grid;
}

QSlider* MakeSlider(QWidget* parent, const QString& name, int top, const VoiceSlider& range) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setGeometry(120, top, 200, 26);
    slider->setRange(range.minimum, range.maximum);
    slider->setPageStep(1);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setValue(range.designPosition);
    return slider;
}

} // namespace

TFhand::TFhand(QWidget* owner) : QDialog(owner) {
    // Blocks the main window it belongs to, not the check list shown beside it.
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFont(PixelFont(12));
    // The writer's connection and the journals are those of the database open now. The stamps
    // first: the action writer asks them which stamp may still come.
    stamps_ = new StampStore(Dm1->DB, ProgramDataFolder(), ::fdatasync, this);
    History = std::make_unique<ActionHistory>(Dm1->DB, ProgramDataFolder(), stamps_->Holding());
    Cache = std::make_unique<RaceCache>();
    Lap = std::make_unique<LapSession>(*Cache);
    Relay = std::make_unique<RelaySession>(*Cache);
    Lists = std::make_unique<ListReading>(Dm1->DB);
    BuildWindow();
    DisarmDefaultButtons();
    ConnectHandlers();
}

TFhand::~TFhand() {
    ShowErrorsHere(false);
    // What was read since the copy was last written; the store writes it before it goes.
    if (raceCopyDue_)
        KeepRaceCopy();
}

void TFhand::BuildWindow() {
    resize(984, 674 + StatusStrip::Height);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    TabSheet3 = new QWidget;
    TabSheet4 = new QWidget;
    PageControl1->addTab(TabSheet1, QStringLiteral("周回計測"));
    PageControl1->addTab(TabSheet2, QStringLiteral("設定"));
    PageControl1->addTab(TabSheet3, QStringLiteral("リレー計測"));
    PageControl1->addTab(TabSheet4, QStringLiteral("操作履歴"));
    PageControl1->setGeometry(rect());

    BuildLapPage();
    BuildSettingsPage();
    BuildRelayPage();
    BuildHistoryPage();
    BuildViewPage();
    BuildPendingPanel();
    Attention = new AttentionList(this);
    BuildStatusStrip();

    CuteButton =
        MakeButton(this, QStringLiteral("CuteButton"), QStringLiteral("×"), QRect(936, 2, 40, 24));
    CuteButton->SetColor(Qt::black);
    CuteButton->SetFontColor(Qt::yellow);
    CuteButton->setFont(PixelFont(16, true));
    Edit2 = MakeEdit(this, QStringLiteral("Edit2"), QRect(1000, 120, 100, 24), 14);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    N1 = PopupMenu2->addAction(QStringLiteral("取り消し"));
    N1->setObjectName(QStringLiteral("N1"));
}

void TFhand::ChooseTimingPage(bool relay) {
    PageControl1->setCurrentWidget(relay ? TabSheet3 : TabSheet1);
    TabSheet5->SetRelay(relay);
}

// Along the bottom, below the pages, which keep their own height above it.
void TFhand::BuildStatusStrip() {
    Strip = new StatusStrip(this);
    PlacePagesAndStrip();
}

void TFhand::BuildPendingPanel() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(4, 30, 252, 560);
    Panel1->setAutoFillBackground(true);
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 160));
    Panel1->setPalette(palette);
    Label8 = MakeLabel(Panel1, QStringLiteral("網掛けは同着処理中・斜体は手入力"), QRect(8, 4, 236, 20));
    Label8->setStyleSheet(QStringLiteral("color: white"));

    QLineEdit** times[] = {&Ed1, &Ed2, &Ed3, &Ed4, &Ed5, &Ed6, &Ed7, &Ed8, &Ed9, &Ed10};
    QLineEdit** gaps[] = {&Eddf12, &Eddf23, &Eddf34, &Eddf45, &Eddf56,
                          &Eddf67, &Eddf78, &Eddf89, &Eddf910};
    const QStringList gapNames = {"Eddf12", "Eddf23", "Eddf34", "Eddf45", "Eddf56",
                                  "Eddf67", "Eddf78", "Eddf89", "Eddf910"};
    for (int k = 0; k < 10; ++k) {
        const int top = 30 + k * 52;
        *times[k] = MakeEdit(Panel1, QStringLiteral("Ed%1").arg(k + 1), QRect(8, top, 150, 30),
                             k == 0 ? 20 : 16);
        // Shown, never typed into: the bib box takes the digits typed after a click here.
        (*times[k])->setReadOnly(true);
        TimeBoxes[k] = *times[k];
        if (k < 9) {
            *gaps[k] = MakeEdit(Panel1, gapNames[k], QRect(166, top + 26, 78, 24), 14);
            (*gaps[k])->setAlignment(Qt::AlignRight);
            GapBoxes[k] = *gaps[k];
        }
    }
    Ed1->setStyleSheet(QStringLiteral("background: white"));

    RE1 = BuildMinutesPanel(Panel3, QStringLiteral("Panel3"), QStringLiteral("RE1"));
    RelayMinutes = BuildMinutesPanel(RelayMinutesPanel, QStringLiteral("RelayMinutesPanel"),
                                     QStringLiteral("RelayMinutes"));
    RelayMinutesPanel->setVisible(false);
}

TREdit* TFhand::BuildMinutesPanel(QFrame*& panel, const QString& panelName,
                                  const QString& boxName) {
    panel = new QFrame(this);
    panel->setObjectName(panelName);
    panel->setGeometry(4, 594, 252, 40);
    const QString caption = QStringLiteral("最短計測時間            分");
    QLabel* label = MakeLabel(panel, caption, QRect(8, 10, 236, 20));
    label->setFont(PixelFont(16));
    auto* box = new TREdit(panel);
    box->setObjectName(boxName);
    // The box stands on the caption's run of blanks, between the words and the unit.
    const QFontMetrics metrics(label->font());
    const int blanksLeft = 8 + metrics.horizontalAdvance(caption.left(caption.indexOf(' ')));
    const int blanksWidth = metrics.horizontalAdvance(caption.mid(caption.indexOf(' ')).chopped(1));
    box->setGeometry(blanksLeft + (blanksWidth - 50) / 2, 5, 50, 29);
    box->setFont(PixelFont(21, true));
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    return box;
}

void TFhand::BuildLapPage() {
    QWidget* page = TabSheet1;
    Edit5 = MakeBibEntry(page, QStringLiteral("Edit5"), LapBibKeys);
    Labmisyori =
        MakeLabel(page, QStringLiteral("未処理数 = 0"), QRect(PageLeft + 470, 20, 200, 24));
    Labmisyori->setObjectName(QStringLiteral("Labmisyori"));
    Labmisyori->setFont(PixelFont(16, true));

    TCuteButton** splits[] = {&CuteButton1, &CuteButton2, &CuteButton3, &CuteButton4, &CuteButton5};
    for (int n = 0; n < 5; ++n) {
        *splits[n] =
            MakeButton(page, QStringLiteral("CuteButton%1").arg(n + 1),
                       QStringLiteral("中間%1").arg(n + 1), QRect(PageLeft + n * 62, 64, 58, 28));
        SplitButtons[n] = *splits[n];
    }

    DBGrid2 =
        MakeGrid(page, QStringLiteral("DBGrid2"), QRect(PageLeft, 100, 300, 400), Dm1->Dsmidtime);
    DBGrid3 = MakeGrid(page, QStringLiteral("DBGrid3"), QRect(PageLeft + 308, 100, 280, 400),
                       Dm1->Dsmidtime2);
    DBGrid1 = MakeGrid(page, QStringLiteral("DBGrid1"), QRect(PageLeft + 596, 100, 120, 400),
                       Dm1->Dsqdpmid);
    DBGrid1->setItemDelegate(new StatusShadingDelegate(Dm1->Dsqdpmid, DBGrid1));
    DBGrid2->setItemDelegate(new CutOffShadingDelegate(
        Dm1->Dsmidtime, [this] { return DisplayedSplit.toInt(); }, DBGrid2));
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    DBGrid2->setContextMenuPolicy(Qt::CustomContextMenu);

    MakeLabel(page, QStringLiteral("ビブ"), QRect(PageLeft, 522, 30, 20));
    Edit1 = MakeEdit(page, QStringLiteral("Edit1"), QRect(PageLeft + 32, 508, 150, 46), 32,
                     QStringLiteral("0"));
    Edit1->setReadOnly(true);
    Edit1->setAlignment(Qt::AlignRight);

    Button2 = new QPushButton(QStringLiteral("初期化"), page);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(1000, 8, 100, 28);
    // In the row of the split buttons, inside the window as it opens.
    CuteButton6 = MakeButton(page, QStringLiteral("CuteButton6"), QStringLiteral("チェックリスト"),
                             QRect(PageLeft + 380, 64, 120, 28));
    CuteButton6->SetColor(Qt::blue);
    CuteButton6->SetFontColor(Qt::white);
    BtnUndo1 = MakeUndoButton(page, QStringLiteral("BtnUndo1"));
    // Below the device times it adds to, apart from the buttons above the lists.
    BtnHandTime = new QPushButton(QStringLiteral("手入力 (F2)"), page);
    BtnHandTime->setObjectName(QStringLiteral("BtnHandTime"));
    BtnHandTime->setGeometry(PageLeft + 596, 508, 120, 28);
    BtnHandTime->setToolTip(QStringLiteral("機器が取り逃した選手の通過時刻を入力します"));
}

void TFhand::BuildSettingsPage() {
    QWidget* page = TabSheet2;
    MakeLabel(page, QStringLiteral("取込ポート"), QRect(PageLeft, 12, 90, 20));
    Cbxcomm1 = new PortListCombo(page);
    Cbxcomm1->setObjectName(QStringLiteral("Cbxcomm1"));
    Cbxcomm1->setGeometry(PageLeft + 92, 8, 140, 26);
    MakeLabel(page, QStringLiteral("取込データ"), QRect(PageLeft, 42, 120, 20));
    Memo1 = MakeMemo(page, QStringLiteral("Memo1"), QRect(PageLeft, 62, 340, 250));
    Memo3 = MakeMemo(page, QStringLiteral("Memo3"), QRect(PageLeft, 320, 340, 130));
    // The statements and the arithmetic of the key presses: for whoever looks after the
    // workstation, not for the operator, so they show only when asked for, and only the
    // latest lines are kept over a whole race.
    LogShown = new QCheckBox(QStringLiteral("ログ"), page);
    LogShown->setObjectName(QStringLiteral("LogShown"));
    LogShown->setGeometry(PageLeft, 458, 80, 22);
    Edit6 = MakeEdit(page, QStringLiteral("Edit6"), QRect(PageLeft, 484, 700, 22), 12);
    Edit6->setReadOnly(true);
    Memo2 = MakeMemo(page, QStringLiteral("Memo2"), QRect(PageLeft, 510, 700, 110));
    Memo2->setMaximumBlockCount(StatementLogLines);
    for (QWidget* log : {static_cast<QWidget*>(Edit6), static_cast<QWidget*>(Memo2)}) {
        log->setVisible(false);
        connect(LogShown, &QCheckBox::toggled, log, &QWidget::setVisible);
    }

    BuildCutOffBoxes(page, 314);

    pOnseiTest = new QFrame(page);
    pOnseiTest->setObjectName(QStringLiteral("pOnseiTest"));
    pOnseiTest->setFrameShape(QFrame::Panel);
    pOnseiTest->setGeometry(PageLeft + 360, 8, 340, 300);
    // The voice list and the voice-type slider were both called 声質: the list is the speaker.
    const QStringList captions = {"話者",         "読み上げ速度", "ボリューム", "高低（男性）",
                                  "高低（女性）", "抑揚",         "声質"};
    for (int row = 0; row < captions.size(); ++row) {
        QLabel* label = MakeLabel(pOnseiTest, captions[row], QRect(8, 10 + row * 34, 108, 22));
        label->setStyleSheet(QStringLiteral("color: navy"));
    }
    CBspeaker = new QComboBox(pOnseiTest);
    CBspeaker->setObjectName(QStringLiteral("CBspeaker"));
    CBspeaker->setGeometry(120, 8, 200, 26);
    CBspeaker->addItems(VoicePanel::SpeakerNames());
    TB1 = MakeSlider(pOnseiTest, QStringLiteral("TB1"), 42, VoicePanel::kSpeed);
    TBvol = MakeSlider(pOnseiTest, QStringLiteral("TBvol"), 76, VoicePanel::kVolume);
    TBvoicem = MakeSlider(pOnseiTest, QStringLiteral("TBvoicem"), 110, VoicePanel::kPitchForMan);
    TBvoicew = MakeSlider(pOnseiTest, QStringLiteral("TBvoicew"), 144, VoicePanel::kPitchForWoman);
    TBint = MakeSlider(pOnseiTest, QStringLiteral("TBint"), 178, VoicePanel::kIntonation);
    TBtype = MakeSlider(pOnseiTest, QStringLiteral("TBtype"), 212, VoicePanel::kVoiceType);
    CuteButton65 = MakeButton(pOnseiTest, QStringLiteral("CuteButton65"),
                              QStringLiteral("音声テスト"), QRect(120, 252, 110, 30));
    CuteButton48 = MakeButton(pOnseiTest, QStringLiteral("CuteButton48"), QStringLiteral("初期化"),
                              QRect(250, 256, 60, 22));

    RGoto = new QGroupBox(QStringLiteral("音声"), page);
    RGoto->setObjectName(QStringLiteral("RGoto"));
    RGoto->setGeometry(PageLeft + 360, 316, 200, 50);
    auto* layout = new QHBoxLayout(RGoto);
    RGotoOff = new QRadioButton(QStringLiteral("無し"), RGoto);
    RGotoOff->setObjectName(QStringLiteral("RGotoOff"));
    RGotoOn = new QRadioButton(QStringLiteral("有り"), RGoto);
    RGotoOn->setObjectName(QStringLiteral("RGotoOn"));
    layout->addWidget(RGotoOff);
    layout->addWidget(RGotoOn);
    RGotoItems = new QButtonGroup(RGoto);
    RGotoItems->addButton(RGotoOff, 0);
    RGotoItems->addButton(RGotoOn, 1);
    RGotoOff->setChecked(true);
}

void TFhand::BuildRelayPage() {
    QWidget* page = TabSheet3;
    Edit3 = MakeBibEntry(page, QStringLiteral("Edit3"), RelayBibKeys);

    const QStringList captions = {"１走", "２走", "３走", "４走", "５走",
                                  "６走", "７走", "８走", "９走", "１０走"};
    TCuteButton** named[] = {&CtBR1, &CtBR2, &CtBR3, &CtBR4};
    for (int n = 0; n < RelayTimedLegs; ++n) {
        // Every leg in one row above the grid; an ekiden's later legs shown when the race
        // has them.
        const QRect place(PageLeft + n * 46, 64, 44, 28);
        LegButtons[n] = MakeButton(page, QStringLiteral("CtBR%1").arg(n + 1), captions[n], place);
        LegButtons[n]->setVisible(n < 4);
    }
    for (int n = 0; n < 4; ++n)
        *named[n] = LegButtons[n];
    CkBLast = new QCheckBox(QStringLiteral("最終走者も処理"), page);
    CkBLast->setObjectName(QStringLiteral("CkBLast"));
    // Beside the grid, from the top: whose leg the list shows, the last-leg box, the forced
    // start, the exchange, the teams through it; the reset at the foot, away from where the
    // lap page has its check list.
    CkBLast->setGeometry(PageLeft + 470, 100, 160, 24);
    LabLegShown = BoldLabel(page, QStringLiteral("LabLegShown"), 13,
                            QRect(PageLeft + 470, 30, 220, 24));
    // The exchange this workstation stands at: set with the mouse, the keys stay the bib's.
    SpExchange = new QSpinBox(page);
    SpExchange->setObjectName(QStringLiteral("SpExchange"));
    SpExchange->setGeometry(PageLeft + 470, 166, 150, 28);
    SpExchange->setRange(0, RelayTimedLegs - 1);
    SpExchange->setPrefix(QStringLiteral("第"));
    SpExchange->setSuffix(QStringLiteral("中継所"));
    SpExchange->setSpecialValueText(QStringLiteral("中継所 指定なし"));
    SpExchange->setFocusPolicy(Qt::NoFocus);
    Button3 = new QPushButton(QStringLiteral("リレー初期化"), page);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(PageLeft + 470, 472, 100, 28);
    BtnForced = new QPushButton(QStringLiteral("繰上スタート"), page);
    BtnForced->setObjectName(QStringLiteral("BtnForced"));
    BtnForced->setGeometry(PageLeft + 470, 130, 100, 28);
    BtnRelayHandTime = new QPushButton(QStringLiteral("手入力 (F2)"), page);
    BtnRelayHandTime->setObjectName(QStringLiteral("BtnRelayHandTime"));
    BtnRelayHandTime->setGeometry(PageLeft + 580, 130, 110, 28);
    BtnRelayHandTime->setToolTip(BtnHandTime->toolTip());

    DBGrid6 =
        MakeGrid(page, QStringLiteral("DBGrid6"), QRect(PageLeft, 100, 460, 400), Dm1->DSRelay1);
    DBGrid6->setContextMenuPolicy(Qt::CustomContextMenu);
    BtnUndo3 = MakeUndoButton(page, QStringLiteral("BtnUndo3"));
}

void TFhand::BuildHistoryPage() {
    HistoryList = new QTreeWidget(TabSheet4);
    HistoryList->setObjectName(QStringLiteral("HistoryList"));
    HistoryList->setGeometry(8, 8, 960, 620);
    HistoryList->setRootIsDecorated(false);
    HistoryList->setHeaderLabels({QStringLiteral("時刻"), QStringLiteral("ページ"),
                                  QStringLiteral("ビブ"), QStringLiteral("操作"),
                                  QStringLiteral("状態")});
    for (const auto& [column, width] : {std::pair{0, 80}, {1, 90}, {2, 60}, {3, 560}})
        HistoryList->setColumnWidth(column, width);
}

#include "app/Umain.h"

#include "app/Ucheck.h"

#include "app/BuildDate.h"
#include "app/Configuration.h"
#include "app/ConnectionDialog.h"
#include "app/DatabaseChoice.h"
#include "app/MainPictures.h"
#include "app/TRadioGroup.h"
#include "common/ErrorReport.h"
#include "common/ProgramFiles.h"
#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "data/RaceInWork.h"
#include "data/Udm1.h"
#include "data/sql/ConnectionFailure.h"
#include "data/sql/DatabaseError.h"
#include "timing/Uhand.h"
#include "timing/widgets/MessageBoxes.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPixmap>
#include <QShowEvent>

#include <memory>

namespace {

QFont PixelFont(int pixels) {
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(pixels);
    return font;
}

QLabel* MakeLabel(QWidget* parent, int pixels, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setFont(PixelFont(pixels));
    label->setGeometry(geometry);
    return label;
}

// Labels placed by their top-left corner only are as large as their text.
QLabel* MakeTextLabel(QWidget* parent, const QString& text, const QPoint& place) {
    QLabel* label = MakeLabel(parent, 13, QRect(place, QSize()));
    label->setText(text);
    label->adjustSize();
    return label;
}

QLabel* MakePicture(QWidget* parent, const QImage& image, const QRect& geometry) {
    auto* picture = new QLabel(parent);
    picture->setGeometry(geometry);
    picture->setPixmap(QPixmap::fromImage(image));
    return picture;
}

TCuteButton* MakeButton(QWidget* parent, const QString& caption, const QRect& geometry) {
    auto* button = new TCuteButton(parent);
    button->setGeometry(geometry);
    button->SetCaption(caption);
    button->SetColor(QColor(0, 0, 255));
    button->SetFontColor(Qt::white);
    button->setFont(PixelFont(16));
    return button;
}

const QString kServerQuestion =
    QStringLiteral("サーバーのデータベースに接続しようとしています。"
                   "十分注意して作業してください。接続してよろしいですか？");

} // namespace

TFmain::TFmain(QWidget* parent) : QWidget(parent) {
    BuildWindow();
    connect(CuteButton1, &TCuteButton::OnClick, this, Guarded(this, &TFmain::CuteButton1Click));
    connect(CuteButton4, &TCuteButton::OnClick, this, Guarded(this, &TFmain::CuteButton4Click));
    connect(CuteButtonConnection, &TCuteButton::OnClick, this,
            Guarded(this, &TFmain::CuteButtonConnectionClick));
    connect(RGdb, &TRadioGroup::OnClick, this, Guarded(this, &TFmain::RGdbClick));
    FormCreate();
}

void TFmain::BuildWindow() {
    setWindowTitle(QStringLiteral("中間計時"));
    setFont(PixelFont(12));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);
    resize(720, 484);

    Image1 = MakePicture(this, LogoPicture(), QRect(188, 25, 329, 129));
    Image2 = MakePicture(this, TitlePicture(), QRect(144, 166, 413, 80));
    Label16 = MakeLabel(this, 21, QRect(118, 263, 457, 21));
    Label16->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    CuteButton1 = MakeButton(this, QStringLiteral("中間処理"), QRect(273, 315, 180, 30));
    CuteButton4 = MakeButton(this, QStringLiteral("閉じる"), QRect(273, 378, 180, 30));
    RGdb = new TRadioGroup(
        QStringLiteral("MySQL"),
        {QStringLiteral("Local"), QStringLiteral("Test"), QStringLiteral("Server")}, this);
    RGdb->setGeometry(616, 31, 81, 106);
    CuteButtonConnection = MakeButton(this, QStringLiteral("接続設定"), QRect(616, 145, 81, 24));
    CuteButtonConnection->setFont(PixelFont(13));
    Label2 = MakeTextLabel(this, QStringLiteral("V1.00"), QPoint(616, 429));
    lUPD = MakeTextLabel(this, QString(), QPoint(616, 448));
}

void TFmain::FormCreate() {
    const MainFormConfig config = LoadConfiguration();
    move(config.Position);
    DataIndex = config.DataIndex;
    PortPaths = config.PortPaths;
    lUPD->setText(ProgramBuildDateCaption());
    lUPD->adjustSize();
}

void TFmain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A spontaneous show is the window system restoring the window, not the program
    // showing it.
    if (!event->spontaneous())
        FormShow();
}

void TFmain::FormShow() {
    RGdb->SetItemIndex(DataIndex);
}

void TFmain::closeEvent(QCloseEvent* event) {
    // What the check list cannot write is dropped only when the operator says so.
    if (Fcheck && !Fcheck->MayEndProgram())
        return event->ignore();
    // A save that fails is shown, and the program still ends: a full disk or a read-only
    // file must not keep the operator from closing it.
    RunGuarded([this] { FormClose(); });
    event->accept();
}

void TFmain::FormClose() {
    SaveConfiguration(pos(), DataIndex);
}

void TFmain::CuteButtonConnectionClick() {
    ConnectionDialog dialog(ConnectionSetup(ConnectionSettings(DataSourceFilePath())), this);
    dialog.exec();
}

void TFmain::CuteButton4Click() {
    close();
}

void TFmain::RGdbClick() {
    Label16->clear();
    if (RGdb->ItemIndex() == 2) {
        if (AskYesNo(this, QStringLiteral("確認してください。"), kServerQuestion)) {
            Label16->setText(QStringLiteral("サーバーに接続中"));
        } else {
            Label16->clear();
            RGdb->SetItemIndex(0); // runs this handler for Local first
        }
    }
    DataIndex = RGdb->ItemIndex();
    ConnectDatabase();
}

void TFmain::ConnectDatabase() {
    TDatabase& db = Dm1->DB;
    db.Close();
    db.Params = ConnectionParams(RGdb->ItemIndex());
    db.AliasName = QStringLiteral("TarnikLocal");
    try {
        db.Open();
    } catch (const DatabaseError& error) {
        // A race server that does not answer may be timed for offline, into the journals,
        // when the operator says so; otherwise the work goes on with Local.
        const bool offlineOffered = RGdb->ItemIndex() > 0 && IsOutOfReach(error);
        if (offlineOffered &&
            AskYesNo(this, QStringLiteral("確認してください。"),
                     OfflineQuestion(db.Params.value(DataSourceLineIndex),
                                     ConnectionFailureText(error))))
            return StayOffline();
        FallBackToLocal(!offlineOffered);
    }
    SetCharacterSet();
}

void TFmain::StayOffline() {
    Label16->setText(QStringLiteral("オフライン（サーバー応答なし）"));
}

void TFmain::FallBackToLocal(bool tell) {
    TDatabase& db = Dm1->DB;
    if (tell)
        ShowMessage(this, ConnectionFailureMessage(db.Params.value(DataSourceLineIndex)));
    RGdb->SetItemIndex(0); // connects Local through RGdbClick unless Local is the one failing
    db.Params[DataSourceLineIndex] = DataSourceLine(0);
    try {
        db.Open();
    } catch (const DatabaseError&) {
        // Local does not answer either: the statement below raises the connection error,
        // which the operator sees, and the program goes on without a connection.
    }
    Dm1->Qexecinfo.Close();
    Dm1->Qexecinfo.Open();
    uComm::RaceCode = Dm1->Qexecinfo.FieldByName(QStringLiteral("tcode")).AsString();
}

void TFmain::SetCharacterSet() {
    Dm1->Query1.Clear();
    Dm1->Query1.Add(QStringLiteral("set names sjis"));
    try {
        Dm1->Query1.ExecSQL();
    } catch (const DatabaseError& error) {
        // The driver refuses this statement, and the connection was opened with the
        // Shift-JIS character set already; any other error is a real one.
        if (!IsSetNamesRefusal(error))
            throw;
    }
}

void TFmain::CuteButton1Click() {
    // Owned by this window, and destroyed when it closes or when the race cannot be opened.
    const auto Fhand = std::make_unique<TFhand>(this);
    connect(Fhand.get(), &TFhand::CheckListWanted, this, [] {
        RunGuarded([] {
            if (Fcheck)
                Fcheck->OpenList();
        });
    });
    // An edit of the check list is an action of the timing window, taken back from there.
    if (Fcheck)
        Fcheck->RecordEditsIn(Fhand.get());
    OpenedRace opened = OpenRaceOrItsCopy(*Dm1);
    if (opened.copy)
        Fhand->OpenFromCopy(std::move(*opened.copy));
    Fhand->KeepCopiesOf(opened.race);
    Fhand->ChooseTimingPage(opened.race.Relay);
    Fhand->setWindowTitle(opened.race.Caption);
    Fhand->exec();
}

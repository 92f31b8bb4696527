// Timing-device input: the port choice, the received characters and lines, and the stamps
// that become pending times. Every accepted stamp is forced to the journal and handed to the
// stamp writer, which stores it in tdc_mid on a thread of its own: nothing here waits for the
// database or for the operator, and none is lost while the database does not answer.
#include "Uhand.h"

#include "common/ErrorReport.h"
#include "common/uComm.h"
#include "data/Udm1.h"
#include "data/actions/ActionHistory.h"
#include "device/DeviceRecord.h"
#include "device/StampStore.h"
#include "timing/widgets/AttentionList.h"
#include "timing/widgets/MessageBoxes.h"
#include "timing/widgets/StatusStrip.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QThread>
#include <QTimer>

namespace {

constexpr int DeviceBitRate = 2400;
constexpr int ShownReceivedLines = 30;
constexpr int ShownAcceptedLines = 10;
// The port settles this long after it was closed before it is opened again.
constexpr int ReopenPauseMs = 300;
// While the chosen port's device is away it is looked for this often.
constexpr int DeviceRetryMs = 2000;
// Closing the window this soon after the last received line asks first.
constexpr qint64 RecentLineMs = 60'000;

const QString PortRefused =
    QStringLiteral("取込ポートに指定したポートは使えません。"
                   "正しいポートを指定しないとタイムを取り込めません。");

QString PortName(int n) {
    return QStringLiteral("COM") + QString::number(n);
}

void AppendAtEnd(QPlainTextEdit* memo, const QString& text) {
    memo->moveCursor(QTextCursor::End);
    memo->insertPlainText(text);
}

} // namespace

void TFhand::ConnectDeviceHandlers() {
    CommX1 = new TCommX(this);
    CommX1->setObjectName(QStringLiteral("CommX1"));
    CommX1->SetBitRate(DeviceBitRate);
    CommX1->OnReceive = [this](QObject* sender, int size) {
        RunGuarded([&] { CommX1Receive(sender, size); });
    };
    // After the notification has returned: the port's worker waits for it, and closing the
    // port waits for the worker.
    CommX1->OnPortLost = [this](QObject*) {
        QTimer::singleShot(0, this, [this] { RunGuarded([this] { CommX1PortLost(); }); });
    };
    CommX1->OnSendStuck = [this](QObject*) { RunGuarded([this] { CommX1SendStuck(); }); };
    deviceRetry_ = new QTimer(this);
    deviceRetry_->setInterval(DeviceRetryMs);
    connect(deviceRetry_, &QTimer::timeout, this, Guarded(this, &TFhand::RetryDevicePort));
    Memo1->setMaximumBlockCount(ShownReceivedLines);
    Memo3->setMaximumBlockCount(ShownAcceptedLines);

    Labunsaved = new QLabel(Panel1);
    Labunsaved->setObjectName(QStringLiteral("Labunsaved"));
    Labunsaved->setGeometry(8, 532, 236, 24);
    Labunsaved->setAlignment(Qt::AlignCenter);
    Labunsaved->setStyleSheet(
        QStringLiteral("background: rgb(255, 0, 0); color: white; font-weight: bold"));

    connect(stamps_, &StampStore::WaitingChanged, this, &TFhand::StampsWaitingChanged);
    connect(stamps_, &StampStore::Stored, this, Guarded(this, &TFhand::RefreshAfterStamps));
    // A writer that cannot store is as good as a database gone, whatever this link says.
    Strip->FollowClock(&deviceClock_);
    Strip->SetDatabaseProbe([this] {
        QStringList journals;
        for (const QString& trouble : {stamps_->JournalProblem(), History->Problem()})
            if (!trouble.isEmpty())
                journals << trouble;
        return DatabaseFacts{Dm1->DB.SourceName(),
                             Dm1->DB.Connected() && stamps_->Problem().isEmpty() &&
                                 History->WriterProblem().isEmpty(),
                             stamps_->WaitingCount(),
                             History->WaitingCount(),
                             History->OldestWaitingSeconds(),
                             journals.join(QLatin1Char('\n')),
                             OfflineText()};
    });
    ShowUnsavedCount();

    connect(Cbxcomm1, &QComboBox::activated, this, Guarded(this, &TFhand::Cbxcomm1Change));
    FormCreate();
}

void TFhand::FormCreate() {
    Cbxcomm1->Refill();
    if (uComm::DevicePortNo <= 0)
        return;
    Cbxcomm1->ChoosePort(PortName(uComm::DevicePortNo));
    // A device plugged in later is taken up then: the saved choice stays.
    if (!OpenDevicePort(uComm::DevicePortNo))
        AwaitDevice(QStringLiteral("取込ポート ") + PortName(uComm::DevicePortNo) +
                    QStringLiteral(" の機器が見つかりません。機器がつながると自動で取り込みを"
                                   "始めます。"));
}

void TFhand::Cbxcomm1Change() {
    if (Cbxcomm1->currentIndex() <= 0) {
        deviceRetry_->stop();
        CommX1->Close();
        lastDeviceLine_.invalidate();
        uComm::DevicePortNo = 0;
        Strip->ShowPortClosed(QString());
        return;
    }
    // All digits after "COM": port numbers reach past two digits here.
    uComm::DevicePortNo = StrToInt(Cbxcomm1->currentText().mid(3).trimmed());
    if (uComm::DevicePortNo > 0)
        com1open(uComm::DevicePortNo);
}

void TFhand::com1open(int PortNo) {
    deviceRetry_->stop();
    CommX1->Close();
    QThread::msleep(ReopenPauseMs);
    if (OpenDevicePort(PortNo))
        return;
    // A port the operator chose and that does not open: the choice is undone.
    Strip->ShowPortClosed(QString());
    Tell({}, PortRefused);
    uComm::DevicePortNo = 0;
    Cbxcomm1->setCurrentIndex(0);
}

bool TFhand::OpenDevicePort(int PortNo) {
    CommX1->Close();
    deviceLine_.Reset();
    lastDeviceLine_.invalidate();
    CommX1->SetPortNo(PortNo);
    try {
        CommX1->Open();
    } catch (const std::exception&) {
        // Whatever stopped the port, the caller says what it means.
        return false;
    }
    deviceRetry_->stop();
    Strip->ShowPortOpened(PortName(PortNo));
    return true;
}

void TFhand::AwaitDevice(const QString& told) {
    // Said in the list and on the device's own field: the last key press stays on the strip.
    Attention->Add({}, told);
    Strip->ShowPortLost(PortName(uComm::DevicePortNo));
    deviceRetry_->start();
}

void TFhand::RetryDevicePort() {
    // A closed window takes nothing; the next one opens the port itself.
    if (!isVisible() || uComm::DevicePortNo <= 0 || CommX1->Handle() != TCommX::InvalidHandle)
        return;
    if (OpenDevicePort(uComm::DevicePortNo))
        Attention->Add({}, QStringLiteral("取込ポート ") + PortName(uComm::DevicePortNo) +
                               QStringLiteral(" の機器とつながりました。"));
}

void TFhand::CommX1PortLost() {
    CommX1->Close();
    deviceLine_.Reset();
    lastDeviceLine_.invalidate();
    AwaitDevice(QStringLiteral("取込ポート ") + PortName(uComm::DevicePortNo) +
                QStringLiteral(" との接続が切れました。タイムデータは取り込まれていません。"
                               "機器とケーブルを確かめてください。機器が戻ると自動でつなぎ直します。"));
}

void TFhand::CommX1SendStuck() {
    Tell({}, QStringLiteral("取込ポート ") + PortName(CommX1->PortNo()) +
                 QStringLiteral(" の送信が終わりません。アダプタを確かめてください。"));
}

void TFhand::CommX1Receive(QObject* Sender, int ReceiveSize) {
    Q_UNUSED(Sender);
    if (ReceiveSize <= 0)
        return;
    QByteArray bytes(ReceiveSize, '\0');
    const int got = CommX1->Read(bytes.data(), ReceiveSize);
    if (got <= 0)
        return;
    bytes.truncate(got);
    const DeviceLineAssembler::Output received = deviceLine_.Feed(bytes);
    AppendAtEnd(Memo1, received.shown);
    if (!received.lines.empty()) {
        lastDeviceLine_.start();
        Strip->LineReceived();
    }
    for (const QByteArray& line : received.lines)
        TakeDeviceLine(DeviceLineIn(line));
}

void TFhand::TakeDeviceLine(const QByteArray& line) {
    if (!IsTimeStampLine(line))
        return;
    const QString record = DeviceRecordOf(line);
    if (!IsStorableRecord(record)) {
        Memo3->appendPlainText(VisibleText(line));
        return;
    }
    if (!HasTimeOfDay(record)) {
        Memo3->appendPlainText(VisibleText(line) + QStringLiteral("  ← 時刻が不正: 保存せず"));
        Strip->InvalidTimeLineReceived();
        return;
    }
    Memo3->appendPlainText(VisibleText(line));
    deviceClock_.Stamped(QTime::fromMSecsSinceStartOfDay(TimeTextToMs(DeviceTimeOf(record))),
                         QDateTime::currentDateTime());
    stamps_->Accept(uComm::RaceCode, record);
}

bool TFhand::ConfirmCloseWhileReceiving() {
    if (!lastDeviceLine_.isValid() || lastDeviceLine_.hasExpired(RecentLineMs))
        return true;
    return AskYesNo(this, QStringLiteral("確認してください。"),
                    QStringLiteral("取込ポート ") + PortName(CommX1->PortNo()) +
                        QStringLiteral(" はタイムデータを受信中です。この画面を閉じている間に"
                                       "機器から送られたタイムは取り込まれません。"
                                       "閉じてよろしいですか？"));
}

void TFhand::ShowUnsavedCount() {
    // The stamps' trouble is the server link's, told once by its watch; here it is the tip.
    const QString problem = stamps_->Problem();
    Labunsaved->setText(QStringLiteral("未保存 %1 件").arg(stamps_->WaitingCount()));
    Labunsaved->setToolTip(problem);
    Labunsaved->setVisible(stamps_->WaitingCount() > 0 || !stamps_->Problem().isEmpty());
    Strip->Refresh();
}

void TFhand::StampsWaitingChanged() {
    ShowUnsavedCount();
    // A stamp shows on the panel as it comes, whether or not the server has it yet.
    if (!isVisible())
        return;
    ShowPendingTimes();
    ShowGaps();
}

void TFhand::RefreshAfterStamps() {
    // A window not yet shown fills its lists when it shows.
    if (!isVisible())
        return;
    RefreshPanel();
}

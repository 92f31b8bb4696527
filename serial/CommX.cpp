#include "serial/CommX.h"

#include "serial/CommMessages.h"
#include "serial/CommReceiveThread.h"
#include "serial/CommTransThread.h"
#include "serial/DcbTermios.h"
#include "serial/LineStatus.h"
#include "serial/OwnerChannel.h"
#include "serial/PortDevice.h"
#include "serial/PortNames.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <new>
#include <poll.h>
#include <thread>

using namespace std::chrono;

namespace {
constexpr int kMaxOutstandingChunks = 32;
// Settling times of the line around opening and closing.
constexpr milliseconds kAfterStart{100};
constexpr milliseconds kBeforeStop{100};
constexpr milliseconds kAfterClose{200};

void Pause(milliseconds ms) {
    std::this_thread::sleep_for(ms);
}
} // namespace

TCustomCommX::TCustomCommX(QObject* owner) : QObject(owner) {}

TCustomCommX::~TCustomCommX() {
    Close();
}

int TCustomCommX::Handle() const {
    return IsOpen() ? FPort->Fd() : InvalidHandle;
}

void TCustomCommX::Open() {
    if (IsOpen())
        throw ECommError(CommMessages::AlreadyOpen);
    FPort = PortDevice::Open(DevicePathForPort(FPortNo));
    if (!FPort)
        throw ECommError(CommMessages::CannotOpen);
    try {
        FPort->PurgeOutput();
        FPort->PurgeInput();
        ConfigurePort();
        FLineStatus = std::make_unique<LineStatus>(FPort->Fd());
        StartThreads();
    } catch (...) {
        Close();
        throw;
    }
}

void TCustomCommX::ConfigurePort() {
    FDcb = DcbFromTermios(FPort->InitialSettings());
    SetBitRate(FBitRate);
    SetCharSize(FCharSize);
    SetParityBit(FParityBit);
    SetStopBit(FStopBit);
    SetFlowCtrl(FFlowCtrl);
    SetXonChar(FXonChar);
    SetXoffChar(FXoffChar);
}

void TCustomCommX::StartThreads() {
    FChannel = std::make_shared<OwnerChannel>(this);
    try {
        FTransThread = std::make_unique<TCommTransThread>(*this, *FPort);
        FTransThread->SetCharDelay(CharacterTimeMs(FBitRate));
        FTransThread->Start();
    } catch (const std::exception&) {
        throw ECommError(CommMessages::TransThread);
    }
    try {
        FReceiveThread = std::make_unique<TCommReceiveThread>(*this, *FPort);
        FReceiveThread->Start();
    } catch (const std::exception&) {
        throw ECommError(CommMessages::ReceiveThread);
    }
    Pause(kAfterStart);
}

void TCustomCommX::Close() {
    if (!IsOpen())
        return;
    // Nothing more reaches the handlers, and no worker stays blocked on the owner thread,
    // which is about to wait for them.
    if (FChannel)
        FChannel->Shut();
    SetDtr(false);
    SetRts(false);
    PurgeTrans();
    PurgeReceive();
    Pause(kBeforeStop);
    FTransThread.reset();
    FReceiveThread.reset();
    FChannel.reset();
    FLineStatus.reset();
    FPort.reset();
    Pause(kAfterClose);
}

void TCustomCommX::PatchRecord(const std::function<void(TCommDcb&)>& patch, const char* refusal) {
    if (!IsOpen())
        return;
    patch(FDcb);
    termios t = FPort->InitialSettings();
    if (!DcbToTermios(FDcb, t) || !FPort->WriteSettings(t))
        throw ECommError(refusal);
    // Lines the driver does not drive itself: "enable" keeps them raised while the port is
    // open, "disable" keeps RTS lowered.
    const std::uint32_t dtr = FDcb.Flags & DcbFlag::DtrControlMask;
    const std::uint32_t rts = FDcb.Flags & DcbFlag::RtsControlMask;
    if (dtr != 0)
        FPort->SetDtr(true);
    if (rts != DcbFlag::RtsControlHandshake)
        FPort->SetRts(rts == DcbFlag::RtsControlEnable);
}

void TCustomCommX::SetPortNo(int value) {
    FPortNo = value;
    if (!IsOpen())
        return;
    Close();
    Open();
}

void TCustomCommX::SetBitRate(int value) {
    // The character time divides by BitRate div 10.
    if (value < 10)
        throw ECommError(CommMessages::BitRate);
    FBitRate = value;
    PatchRecord([&](TCommDcb& dcb) { dcb.BaudRate = value; }, CommMessages::BitRate);
    if (FTransThread)
        FTransThread->SetCharDelay(CharacterTimeMs(value));
}

void TCustomCommX::SetCharSize(int value) {
    FCharSize = value;
    PatchRecord([&](TCommDcb& dcb) { dcb.ByteSize = static_cast<std::uint8_t>(value & 0xFF); },
                CommMessages::CharSize);
}

void TCustomCommX::SetParityBit(TCommParityBits value) {
    FParityBit = value;
    PatchRecord([&](TCommDcb& dcb) { dcb.Parity = value; }, CommMessages::ParityBit);
}

void TCustomCommX::SetStopBit(TCommStopBits value) {
    FStopBit = value;
    PatchRecord([&](TCommDcb& dcb) { dcb.StopBits = value; }, CommMessages::StopBit);
}

void TCustomCommX::SetFlowCtrl(TCommFlowCtrls value) {
    FFlowCtrl = value;
    PatchRecord([&](TCommDcb& dcb) { SetFlowControl(dcb, value, FBufLenReceive); },
                CommMessages::FlowCtrl);
}

// The time-outs are the component's own (Read and the transmit worker keep them), so
// setting one takes effect at once and can fail only on a value no wait can have.
void TCustomCommX::SetTimeOutTrans(int ms) {
    if (ms < 0)
        throw ECommError(CommMessages::Timeouts);
    FTimeOutTrans = ms;
}

void TCustomCommX::SetTimeOutReceive(int ms) {
    if (ms < 0)
        throw ECommError(CommMessages::Timeouts);
    FTimeOutReceive = ms;
}

void TCustomCommX::SetXonChar(char value) {
    FXonChar = value;
    PatchRecord([&](TCommDcb& dcb) { dcb.XonChar = value; }, CommMessages::XonChar);
}

void TCustomCommX::SetXoffChar(char value) {
    FXoffChar = value;
    PatchRecord([&](TCommDcb& dcb) { dcb.XoffChar = value; }, CommMessages::XoffChar);
}

// The driver's queues have no size to set; the lengths are the component's own limits: the
// largest transmit chunk, and the base of the XON/XOFF limits.
void TCustomCommX::SetBufLenTrans(int bytes) {
    if (bytes < 1)
        throw ECommError(CommMessages::Buffers);
    FBufLenTrans = bytes;
}

void TCustomCommX::SetBufLenReceive(int bytes) {
    if (bytes < 1)
        throw ECommError(CommMessages::Buffers);
    FBufLenReceive = bytes;
    SetFlowCtrl(FFlowCtrl); // its XON/XOFF limits follow this length
}

bool TCustomCommX::Write(const void* Buffer, int Size) {
    if (Size <= 0)
        return true;
    if (!Buffer)
        return false;
    const auto* source = static_cast<const std::uint8_t*>(Buffer);
    while (Size > 0) {
        if (!IsOpen() || !FTransThread)
            return false;
        if (FTransThread->Queue().QueuedChunks() >= kMaxOutstandingChunks) {
            QCoreApplication::processEvents();
            Pause(milliseconds(1));
            continue;
        }
        const int length = std::min(Size, FBufLenTrans);
        if (!PostChunk(source, length))
            return false;
        source += length;
        Size -= length;
    }
    return true;
}

bool TCustomCommX::PostChunk(const std::uint8_t* bytes, int length) {
    TransmitChunk chunk{std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[length]),
                        length};
    if (!chunk.bytes)
        return false;
    std::copy_n(bytes, length, chunk.bytes.get());
    FTransThread->Post(std::move(chunk));
    return true;
}

int TCustomCommX::Read(void* Buffer, int Size) {
    if (!IsOpen() || !FReceiveThread || !Buffer || Size < 0)
        return -1;
    if (Size == 0)
        return 0;
    auto* buffer = static_cast<std::uint8_t*>(Buffer);
    const ssize_t n = TakeBytes(buffer, Size);
    if (n > 0)
        return static_cast<int>(n);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return WaitForBytes(buffer, Size);
    // 0 is a hang-up, which the receive worker reports.
    if (n < 0)
        ReportLineErrors();
    return -1;
}

// Nothing was waiting: read until Size bytes came or TimeOutReceive ran out, letting the
// owner thread's events run meanwhile.
int TCustomCommX::WaitForBytes(std::uint8_t* buffer, int size) {
    const auto deadline = steady_clock::now() + milliseconds(FTimeOutReceive);
    int got = 0;
    for (;;) {
        QCoreApplication::processEvents();
        if (!IsOpen() || !FReceiveThread)
            return -1;
        // At most a millisecond, so the owner's events keep running.
        pollfd input{FPort->Fd(), POLLIN, 0};
        ::poll(&input, 1, 1);
        const ssize_t n = TakeBytes(buffer + got, size - got);
        if (n > 0)
            got += static_cast<int>(n);
        else if (n == 0)
            return -1;
        else if (errno != EAGAIN && errno != EWOULDBLOCK) {
            ReportLineErrors();
            return -1;
        }
        if (got == size || steady_clock::now() >= deadline)
            return got;
    }
}

ssize_t TCustomCommX::TakeBytes(std::uint8_t* buffer, int size) {
    const ssize_t n = FPort->ReadSome(buffer, static_cast<size_t>(size));
    if (n > 0)
        FBytesTaken += static_cast<std::uint64_t>(n);
    return n;
}

int TCustomCommX::ReadChar() {
    std::uint8_t byte = 0;
    return Read(&byte, 1) == 1 ? byte : -1;
}

int TCustomCommX::InQueueCount() const {
    return IsOpen() ? FPort->InQueueCount() : 0;
}

int TCustomCommX::QueuedBytes() const {
    return FTransThread ? FTransThread->Queue().QueuedBytes() : 0;
}

int TCustomCommX::QueuedChunks() const {
    return FTransThread ? FTransThread->Queue().QueuedChunks() : 0;
}

void TCustomCommX::PurgeTrans() {
    if (!IsOpen())
        return;
    if (!FTransThread)
        return FPort->PurgeOutput();
    // No handler runs in here, and the worker never waits for this thread, so the wait ends
    // whichever handler purges.
    FTransThread->SetPurging(true);
    do {
        FPort->PurgeOutput();
        Pause(milliseconds(1));
    } while (FTransThread->Queue().QueuedBytes() != 0);
    // A write begun just before the worker saw the purge may have landed after the last one.
    FPort->PurgeOutput();
    FTransThread->SetPurging(false);
}

void TCustomCommX::PurgeReceive() {
    if (!IsOpen())
        return;
    FPort->PurgeInput();
    if (FReceiveThread)
        FReceiveThread->Resync();
}

void TCustomCommX::SetRts(bool raised) {
    if (IsOpen())
        FPort->SetRts(raised);
}

void TCustomCommX::SetDtr(bool raised) {
    if (IsOpen())
        FPort->SetDtr(raised);
}

void TCustomCommX::ReportLineErrors() {
    if (const int bits = FLineStatus->TakeErrorBits())
        DoError(bits);
}

void TCustomCommX::HandOverLineErrors() {
    if (const int bits = FLineStatus->TakeErrorBits())
        HandOver([this, bits] { DoError(bits); });
}

void TCustomCommX::PostLineErrors() {
    if (const int bits = FLineStatus->TakeErrorBits())
        FChannel->Post([this, bits] { DoError(bits); });
}

void TCustomCommX::PostSendStuck() {
    FChannel->Post([this] { DoSendStuck(); });
}

void TCustomCommX::HandOverBreak() {
    if (FLineStatus->TakeBreak())
        HandOver([this] { DoBreak(); });
}

void TCustomCommX::HandOverReceive() {
    HandOver([this] { DoReceive(); });
}

void TCustomCommX::HandOverPortLost() {
    HandOver([this] { DoPortLost(); });
}

void TCustomCommX::HandOver(std::function<void()> notification) {
    FChannel->Send(std::move(notification));
}

void TCustomCommX::DoReceive() {
    if (!IsOpen() || !OnReceive)
        return;
    if (const int n = InQueueCount())
        OnReceive(this, n);
}

void TCustomCommX::DoBreak() {
    if (IsOpen() && OnBreak)
        OnBreak(this);
}

void TCustomCommX::DoError(int bits) {
    if (IsOpen() && OnError)
        OnError(this, bits);
}

void TCustomCommX::DoPortLost() {
    if (IsOpen() && OnPortLost)
        OnPortLost(this);
}

void TCustomCommX::DoSendStuck() {
    if (IsOpen() && OnSendStuck)
        OnSendStuck(this);
}

#pragma once
// Serial-port component: one instance owns one port. Sending goes through a transmit
// worker; a receive worker only watches the line and tells the owner thread that bytes are
// waiting, and the OnReceive handler takes them from the driver's queue with Read or
// ReadChar. Every operation is called, and every event raised, on the thread that created
// the component, which must run a Qt event loop.

#include "serial/CommDcb.h"
#include "serial/CommError.h"
#include "serial/CommTypes.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <sys/types.h>

class LineStatus;
class OwnerChannel;
class PortDevice;
class TCommReceiveThread;
class TCommTransThread;

class TCustomCommX : public QObject {
public:
    explicit TCustomCommX(QObject* owner = nullptr);
    ~TCustomCommX() override;

    // Opens and configures port PortNo and starts both workers; ECommError on failure, with
    // the port closed again.
    void Open();
    // Stops and joins the workers and closes the port; nothing when closed. Notifications
    // not yet handled are dropped.
    void Close();
    // Queues Size bytes for sending in chunks of at most BufLenTrans bytes, at most 32 of
    // them outstanding (waiting, with the owner's events processed, for room). True when
    // every byte was handed over, not when sent.
    virtual bool Write(const void* Buffer, int Size);
    // Reads up to Size bytes: those waiting, or when none wait, until Size bytes came or
    // TimeOutReceive ms passed. The count read, or -1 (closed, no buffer, line failure).
    virtual int Read(void* Buffer, int Size);
    // One byte as 0 to 255, or -1.
    int ReadChar();
    // Bytes waiting in the driver's input queue; 0 when closed.
    int InQueueCount() const;
    // Discards everything queued or being sent, waiting until the worker has let go of it.
    void PurgeTrans();
    // Discards the input queue.
    void PurgeReceive();
    void SetRts(bool raised);
    void SetDtr(bool raised);

    // Properties. Each setter stores its value; while the port is open it is applied at
    // once and ECommError reports a refusal (the value stays stored). Values the component
    // cannot work with at all (BitRate below 10, buffer lengths below 1, negative time-outs)
    // are refused before they are stored, open or closed.
    int PortNo() const { return FPortNo; }
    void SetPortNo(int value); // reopens on the new port when open
    int BitRate() const { return FBitRate; }
    void SetBitRate(int value);
    int CharSize() const { return FCharSize; }
    void SetCharSize(int value); // only the low byte reaches the port
    TCommParityBits ParityBit() const { return FParityBit; }
    void SetParityBit(TCommParityBits value);
    TCommStopBits StopBit() const { return FStopBit; }
    void SetStopBit(TCommStopBits value);
    TCommFlowCtrls FlowCtrl() const { return FFlowCtrl; }
    void SetFlowCtrl(TCommFlowCtrls value);
    int TimeOutTrans() const { return FTimeOutTrans; }
    void SetTimeOutTrans(int ms);
    int TimeOutReceive() const { return FTimeOutReceive; }
    void SetTimeOutReceive(int ms);
    char XonChar() const { return FXonChar; }
    void SetXonChar(char value);
    char XoffChar() const { return FXoffChar; }
    void SetXoffChar(char value);
    int BufLenTrans() const { return FBufLenTrans; }
    void SetBufLenTrans(int bytes);
    int BufLenReceive() const { return FBufLenReceive; }
    void SetBufLenReceive(int bytes);
    // The port's file descriptor, InvalidHandle while closed.
    int Handle() const;
    static constexpr int InvalidHandle = -1;

    // The line-configuration record as last written to the port.
    const TCommDcb& Dcb() const { return FDcb; }
    // Bytes and chunks handed to the transmit worker and not yet finished by it.
    int QueuedBytes() const;
    int QueuedChunks() const;

    TCommReceiveEvent OnReceive;
    TCommBreakEvent OnBreak;
    TCommErrEvent OnError;
    TCommLostEvent OnPortLost;
    TCommSendStuckEvent OnSendStuck;

private:
    friend class TCommTransThread;
    friend class TCommReceiveThread;

    bool IsOpen() const { return FPort != nullptr; }
    void ConfigurePort();
    // While open: patches the record and writes it whole to the port, raising `refusal`
    // when the port does not take it.
    void PatchRecord(const std::function<void(TCommDcb&)>& patch, const char* refusal);
    void StartThreads();
    bool PostChunk(const std::uint8_t* bytes, int length);
    ssize_t TakeBytes(std::uint8_t* buffer, int size);
    int WaitForBytes(std::uint8_t* buffer, int size);
    std::uint64_t BytesTaken() const { return FBytesTaken; }
    void ReportLineErrors();

    // Called by the receive worker; each runs its notification on the owner thread and
    // waits.
    void HandOverLineErrors();
    void HandOverBreak();
    void HandOverReceive();
    void HandOverPortLost();
    void HandOver(std::function<void()> notification);
    // Called by the transmit worker, which does not wait: the owner thread waits for it
    // (PurgeTrans, a full Write), also from inside the OnError handler this raises.
    void PostLineErrors();
    void PostSendStuck();

    // Owner thread.
    void DoReceive();
    void DoBreak();
    void DoError(int bits);
    void DoPortLost();
    void DoSendStuck();

    int FPortNo = 1;
    int FBitRate = 9600;
    int FCharSize = 8;
    TCommParityBits FParityBit = cpbNone;
    TCommStopBits FStopBit = csb1;
    std::atomic<TCommFlowCtrls> FFlowCtrl = cfcRtsCts;
    std::atomic<int> FTimeOutTrans = 3000;
    int FTimeOutReceive = 3000;
    char FXonChar = 0x11;
    char FXoffChar = 0x13;
    int FBufLenTrans = 2048;
    int FBufLenReceive = 2048;
    TCommDcb FDcb;
    // Bytes Read has taken from the port, for the receive worker's count of arrivals.
    std::atomic<std::uint64_t> FBytesTaken = 0;

    std::unique_ptr<PortDevice> FPort;
    std::unique_ptr<LineStatus> FLineStatus;
    std::shared_ptr<OwnerChannel> FChannel;
    std::unique_ptr<TCommTransThread> FTransThread;
    std::unique_ptr<TCommReceiveThread> FReceiveThread;
};

// The class that windows hold.
class TCommX : public TCustomCommX {
public:
    using TCustomCommX::TCustomCommX;
};

#pragma once
// The published types of the serial-port component.

#include <cstdint>
#include <functional>

class QObject;

enum TCommParityBits : std::uint8_t { cpbNone, cpbOdd, cpbEven };
enum TCommStopBits : std::uint8_t { csb1, csb1p5, csb2 };
enum TCommFlowCtrls : std::uint8_t {
    cfcRtsCts,
    cfcDtrDsr,
    cfcXonXoff,
    cfcHalfHigh,
    cfcHalfLow,
    cfcNone
};

// Event handlers are plain callables; an empty one is "unassigned". They run on the thread
// that created the component; Sender is the component.
using TCommReceiveEvent = std::function<void(QObject* Sender, int ReceiveSize)>;
using TCommBreakEvent = std::function<void(QObject* Sender)>;
using TCommErrEvent = std::function<void(QObject* Sender, int ErrorState)>;
// The other end of the line went away (hang-up, adapter pulled out); raised once per Open.
using TCommLostEvent = std::function<void(QObject* Sender)>;
// A half-duplex send did not leave the port: its queue stopped moving for TimeOutTrans ms,
// and the line was turned back to receiving with bytes unsent.
using TCommSendStuckEvent = std::function<void(QObject* Sender)>;

// Line-error bits of OnError.
constexpr int CommErrorOverrun = 0x02;
constexpr int CommErrorParity = 0x04;
constexpr int CommErrorFraming = 0x08;

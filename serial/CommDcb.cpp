#include "serial/CommDcb.h"

namespace {
std::uint32_t FlowFlags(TCommFlowCtrls mode) {
    using namespace DcbFlag;
    switch (mode) {
    case cfcRtsCts:
        return OutxCtsFlow | DtrControlEnable | RtsControlHandshake;
    case cfcDtrDsr:
        return OutxDsrFlow | DtrControlHandshake | RtsControlEnable;
    case cfcXonXoff:
        return DtrControlEnable | OutX | InX | RtsControlEnable;
    case cfcHalfHigh:
        return DtrControlEnable;
    case cfcHalfLow:
    case cfcNone:
        return DtrControlEnable | RtsControlEnable;
    }
    return DtrControlEnable | RtsControlEnable;
}
} // namespace

void SetFlowControl(TCommDcb& dcb, TCommFlowCtrls mode, int bufLenReceive) {
    // Binary mode and parity checking are always on, whatever the parity setting says.
    dcb.Flags = DcbFlag::Binary | DcbFlag::ParityCheck | FlowFlags(mode);
    dcb.XonLim = bufLenReceive / 4;
    dcb.XoffLim = bufLenReceive / 4;
}

int CharacterTimeMs(int bitRate) {
    return 1000 / (bitRate / 10) + 1;
}

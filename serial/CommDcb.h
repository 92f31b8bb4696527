#pragma once
// The component's line-configuration record. Every setter patches its own fields and the
// whole record is written to the port, so each write carries every setting made before.
// The flag word keeps the classic bit layout; the port sees it through DcbToTermios.

#include "serial/CommTypes.h"

#include <cstdint>

namespace DcbFlag {
constexpr std::uint32_t Binary = 0x0001;
constexpr std::uint32_t ParityCheck = 0x0002;
constexpr std::uint32_t OutxCtsFlow = 0x0004;
constexpr std::uint32_t OutxDsrFlow = 0x0008;
constexpr std::uint32_t DtrControlEnable = 0x0010;
constexpr std::uint32_t DtrControlHandshake = 0x0020;
constexpr std::uint32_t DtrControlMask = 0x0030;
constexpr std::uint32_t OutX = 0x0100;
constexpr std::uint32_t InX = 0x0200;
constexpr std::uint32_t RtsControlEnable = 0x1000;
constexpr std::uint32_t RtsControlHandshake = 0x2000;
constexpr std::uint32_t RtsControlMask = 0x3000;
} // namespace DcbFlag

struct TCommDcb {
    int BaudRate = 0;
    std::uint32_t Flags = 0;
    int XonLim = 0;
    int XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;   // 0 none, 1 odd, 2 even
    std::uint8_t StopBits = 0; // 0 one, 1 one and a half, 2 two
    char XonChar = 0;
    char XoffChar = 0;
};

// Replaces the flag word as a whole and sets both XON/XOFF limits to a quarter of the
// receive buffer.
void SetFlowControl(TCommDcb& dcb, TCommFlowCtrls mode, int bufLenReceive);

// Milliseconds one character (10 bits) takes on the line, rounded up by one whole
// millisecond. bitRate must be at least 10.
int CharacterTimeMs(int bitRate);

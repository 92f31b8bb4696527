#include "serial/DcbTermios.h"

#include <array>
#include <utility>

namespace {
constexpr std::array<std::pair<int, speed_t>, 30> kSpeeds{{
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
}};

int BitRateOf(speed_t speed) {
    for (const auto& [rate, s] : kSpeeds)
        if (s == speed)
            return rate;
    return 0;
}

std::optional<tcflag_t> SizeFor(std::uint8_t byteSize) {
    switch (byteSize) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    case 8:
        return CS8;
    default:
        return std::nullopt;
    }
}

std::uint8_t ByteSizeOf(tcflag_t cflag) {
    switch (cflag & CSIZE) {
    case CS5:
        return 5;
    case CS6:
        return 6;
    case CS7:
        return 7;
    default:
        return 8;
    }
}

constexpr tcflag_t kLineFlags = CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS;
} // namespace

std::optional<speed_t> SpeedFor(int bitRate) {
    for (const auto& [rate, speed] : kSpeeds)
        if (rate == bitRate)
            return speed;
    return std::nullopt;
}

TCommDcb DcbFromTermios(const termios& t) {
    TCommDcb dcb;
    dcb.BaudRate = BitRateOf(cfgetospeed(&t));
    dcb.ByteSize = ByteSizeOf(t.c_cflag);
    dcb.Parity = !(t.c_cflag & PARENB) ? 0 : (t.c_cflag & PARODD) ? 1 : 2;
    dcb.StopBits = (t.c_cflag & CSTOPB) ? 2 : 0;
    dcb.Flags = DcbFlag::Binary | DcbFlag::ParityCheck | DcbFlag::DtrControlEnable |
                ((t.c_cflag & CRTSCTS) ? DcbFlag::OutxCtsFlow | DcbFlag::RtsControlHandshake
                                       : DcbFlag::RtsControlEnable) |
                ((t.c_iflag & IXON) ? DcbFlag::OutX : 0) | ((t.c_iflag & IXOFF) ? DcbFlag::InX : 0);
    dcb.XonChar = static_cast<char>(t.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
    return dcb;
}

bool DcbToTermios(const TCommDcb& dcb, termios& t) {
    const auto speed = SpeedFor(dcb.BaudRate);
    const auto size = SizeFor(dcb.ByteSize);
    if (!speed || !size)
        return false;
    cfmakeraw(&t);
    cfsetispeed(&t, *speed);
    cfsetospeed(&t, *speed);
    t.c_cflag &= ~kLineFlags;
    t.c_cflag |= CLOCAL | CREAD | *size;
    t.c_iflag &= ~(INPCK | IGNPAR | PARMRK | ISTRIP | IXON | IXOFF | IXANY);
    if (dcb.Parity != 0) {
        t.c_cflag |= PARENB | (dcb.Parity == 1 ? PARODD : 0);
        // A checked byte that fails is dropped, not handed on as NUL, a character a line can
        // hold; the driver still counts it, and OnError reports it.
        if (dcb.Flags & DcbFlag::ParityCheck)
            t.c_iflag |= INPCK | IGNPAR;
    }
    // termios has no 1.5 stop bits; drivers give 1.5 for CSTOPB at 5 data bits.
    if (dcb.StopBits != 0)
        t.c_cflag |= CSTOPB;
    const bool rtsHandshake = (dcb.Flags & DcbFlag::RtsControlMask) == DcbFlag::RtsControlHandshake;
    if ((dcb.Flags & DcbFlag::OutxCtsFlow) || rtsHandshake)
        t.c_cflag |= CRTSCTS;
    // DSR output flow control has no termios equivalent on Linux; the record keeps it.
    if (dcb.Flags & DcbFlag::OutX)
        t.c_iflag |= IXON;
    if (dcb.Flags & DcbFlag::InX)
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return true;
}

bool TermiosKeeps(const termios& wanted, const termios& got) {
    return cfgetospeed(&wanted) == cfgetospeed(&got) &&
           (wanted.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB)) ==
               (got.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB));
}

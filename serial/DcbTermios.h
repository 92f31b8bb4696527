#pragma once
// How the line-configuration record reaches a POSIX terminal.

#include "serial/CommDcb.h"

#include <optional>
#include <termios.h>

// The termios speed of a bit rate from the standard table (50 to 4000000 bit/s).
std::optional<speed_t> SpeedFor(int bitRate);

// The record of a port's current settings, as Open starts from.
TCommDcb DcbFromTermios(const termios& t);

// Patches the terminal settings `t` (raw, 8-bit clean, receiver on, modem status ignored)
// from the record; with parity checked, a byte that fails it is dropped. False when the record asks for something termios cannot express: a
// speed outside the standard table, a character size other than 5 to 8.
bool DcbToTermios(const TCommDcb& dcb, termios& t);

// True when the port kept what DcbToTermios asked for (a driver may accept tcsetattr and
// still drop a setting it does not support).
bool TermiosKeeps(const termios& wanted, const termios& got);

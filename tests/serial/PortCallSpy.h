#pragma once
// A pseudo-terminal has no modem lines, no drain and no line errors. This test program's own
// write, tcdrain, tcflush and ioctl stand in front of the C library's (the component is
// linked in statically, so its calls reach them first); on the one terminal a test watches
// they log what a real port would show and can add a line fault. Every other call, and every
// call on the watched terminal that is not faked, goes on to the C library.

#include <QStringList>

#include <functional>

namespace PortCallSpy {
// Watches the terminal `fd` is open on, under whichever descriptor it is reached.
void Watch(int fd);
void Unwatch();
// "write N" (bytes taken), "drain" (a tcdrain, or looks at the output queue one after the
// other), "rts+", "rts-" in call order since the last take.
QStringList TakeLog();
// The next write fails (EIO) and the driver counts a framing error, as a line fault does.
void FailNextWriteWithFramingError();
// Runs once on the purging thread, right after the next purge of the input queue.
void AfterInputPurge(std::function<void()> action);
// Until Unwatch, nothing written leaves the line, as an adapter that stopped sending: its
// output queue stays full and a drain waits for it (at most a few seconds, so a test ends).
void HoldOutput();
} // namespace PortCallSpy

#pragma once
// Turns the bytes of the timing device's line into text lines. A line ends with a carriage
// return; a line feed is no line end and is left out of the line. The line waiting for its
// carriage return is bounded: a device that never ends its line cannot make it grow, and
// of an overlong line its end is kept, where a stamp after line noise would be.

#include <QByteArray>
#include <QString>

#include <vector>

class DeviceLineAssembler {
public:
    // Bytes shown, and bytes kept from the end, of one line. A device line is 26
    // characters.
    static constexpr int KeptLineBytes = 256;

    struct Output {
        QString shown;                 // the bytes as the received-data box shows them
        std::vector<QByteArray> lines; // the lines the bytes completed, in order
    };

    Output Feed(const QByteArray& bytes);
    // Forgets the line in progress: a port opened again, or a line that went away, starts
    // clean instead of joining an old half line to the first new one.
    void Reset();

private:
    QByteArray line_;
    int bytesInLine_ = 0; // every byte since the last line end, line feeds included
};

// Text that shows every byte: control bytes as their pictures (U+2400..), bytes above 0x7E as
// the replacement character, the rest as themselves.
QString VisibleText(const QByteArray& bytes);

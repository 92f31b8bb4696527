#pragma once
// Turns the bytes of the timing device's line into text lines. A line ends with a carriage
// return; a line feed is no line end and is left out of the line. The line waiting for its
// carriage return is bounded: a device that never ends its line cannot make it grow.

#include <QByteArray>
#include <QString>

#include <vector>

class DeviceLineAssembler {
public:
    // Bytes kept (and shown) of one line; the rest of a longer line is dropped. A device
    // line is 26 characters.
    static constexpr int KeptLineBytes = 256;

    struct Output {
        QString shown;                 // the bytes as the received-data box shows them
        std::vector<QByteArray> lines; // the lines the bytes completed, in order
    };

    Output Feed(const QByteArray& bytes);

private:
    QByteArray line_;
    int bytesInLine_ = 0; // every byte since the last line end, line feeds included
};

// Text that shows every byte: control bytes as their pictures (U+2400..), bytes above 0x7E as
// the replacement character, the rest as themselves.
QString VisibleText(const QByteArray& bytes);

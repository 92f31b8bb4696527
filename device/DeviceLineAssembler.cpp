#include "device/DeviceLineAssembler.h"

namespace {

constexpr char CarriageReturn = '\r';
constexpr char LineFeed = '\n';
const QChar DroppedMark(0x2026); // "…" after the shown part of an overlong line

QChar VisibleByte(unsigned char byte) {
    if (byte < 0x20)
        return QChar(0x2400 + byte);
    if (byte == 0x7F)
        return QChar(0x2421);
    if (byte > 0x7F)
        return QChar(QChar::ReplacementCharacter);
    return QChar(byte);
}

} // namespace

DeviceLineAssembler::Output DeviceLineAssembler::Feed(const QByteArray& bytes) {
    Output output;
    output.shown.reserve(bytes.size());
    for (const char byte : bytes) {
        if (byte == CarriageReturn) {
            output.lines.push_back(line_.right(KeptLineBytes));
            output.shown += QLatin1Char('\n');
            Reset();
            continue;
        }
        ++bytesInLine_;
        if (byte != LineFeed)
            line_.append(byte);
        // Trimmed in halves, not byte by byte: a megabyte of noise costs no quadratic time.
        if (line_.size() > 2 * KeptLineBytes)
            line_.remove(0, line_.size() - KeptLineBytes);
        if (bytesInLine_ > KeptLineBytes) {
            if (bytesInLine_ == KeptLineBytes + 1)
                output.shown += DroppedMark;
            continue;
        }
        output.shown += VisibleByte(static_cast<unsigned char>(byte));
    }
    return output;
}

void DeviceLineAssembler::Reset() {
    line_.clear();
    bytesInLine_ = 0;
}

QString VisibleText(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        text += VisibleByte(static_cast<unsigned char>(byte));
    return text;
}

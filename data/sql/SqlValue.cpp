#include "data/sql/SqlValue.h"

#include "data/sql/DatabaseError.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr char16_t Yen = 0x00A5;
constexpr char16_t Overline = 0x203E;

// "¥" and "‾" as the backslash and tilde they are on the wire.
QString AsWireCharacters(QString text) {
    for (QChar& c : text) {
        if (c.unicode() == Yen)
            c = QLatin1Char('\\');
        else if (c.unicode() == Overline)
            c = QLatin1Char('~');
    }
    return text;
}

QString DecodeShiftJis(const QByteArray& bytes) {
    // Opened once per thread: lists decode a few hundred values on every key press.
    thread_local QStringDecoder decoder("Shift_JIS");
    decoder.resetState(); // a value cut inside a character leaves nothing to the next one
    return AsWireCharacters(decoder.decode(bytes));
}

} // namespace

QByteArray ShiftJisBytes(const QString& value) {
    const QString wire = AsWireCharacters(value);
    QStringEncoder encoder("Shift_JIS");
    const QByteArray bytes = encoder.encode(wire);
    // The encoder puts a substitute in place of a character it lacks; only a round trip
    // tells, and such a value would be stored as something other than what was typed.
    if (encoder.hasError() || DecodeShiftJis(bytes) != wire)
        throw UnstorableTextError(value);
    return bytes;
}

QString SqlValue(const QString& value) {
    return QStringLiteral("_sjis X'") +
           QString::fromLatin1(ShiftJisBytes(value).toHex().toUpper()) + QLatin1Char('\'');
}

QStringList ShownStatement(const QStringList& lines) {
    static const QRegularExpression literal(QStringLiteral("_sjis X'([0-9A-F]*)'"));
    QStringList shown;
    for (const QString& line : lines) {
        QString text;
        qsizetype from = 0;
        for (auto match = literal.globalMatch(line); match.hasNext();) {
            const auto m = match.next();
            text += line.mid(from, m.capturedStart() - from) + QLatin1Char('\'') +
                    DecodeShiftJis(QByteArray::fromHex(m.captured(1).toLatin1())) +
                    QLatin1Char('\'');
            from = m.capturedEnd();
        }
        shown << text + line.mid(from);
    }
    return shown;
}

QString FromShiftJisWire(QString text) {
    return AsWireCharacters(std::move(text));
}

QString FromShiftJisBytes(const QByteArray& bytes) {
    return DecodeShiftJis(bytes);
}

#include "SqlText.h"

QString SqlEscape(const QString& value) {
    QString escaped;
    escaped.reserve(value.size() + 8);
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\'':
            escaped += QStringLiteral("''");
            break;
        case u'\\':
            escaped += QStringLiteral("\\\\");
            break;
        case u'\0':
            escaped += QStringLiteral("\\0");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString FromShiftJisWire(QString text) {
    constexpr char16_t yen = 0x00A5;
    constexpr char16_t overline = 0x203E;
    for (QChar& c : text) {
        if (c.unicode() == yen)
            c = QLatin1Char('\\');
        else if (c.unicode() == overline)
            c = QLatin1Char('~');
    }
    return text;
}

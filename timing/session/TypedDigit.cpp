#include "timing/session/TypedDigit.h"

char DigitOf(const QString& typed) {
    if (typed.size() != 1)
        return 0;
    const char16_t c = typed.front().unicode();
    if (c >= u'0' && c <= u'9')
        return static_cast<char>(c);
    if (c >= u'０' && c <= u'９')
        return static_cast<char>('0' + (c - u'０'));
    return 0;
}

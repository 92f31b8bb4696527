#include "data/sql/TFieldValue.h"

#include "common/uComm.h"

int TFieldValue::AsInteger() const {
    return text_.isEmpty() ? 0 : StrToInt(text_.trimmed());
}

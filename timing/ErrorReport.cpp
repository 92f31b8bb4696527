#include "ErrorReport.h"

#include <QtGlobal>

namespace {

ErrorReporter& Reporter() {
    static ErrorReporter reporter;
    return reporter;
}

} // namespace

void SetErrorReporter(ErrorReporter reporter) {
    Reporter() = std::move(reporter);
}

void ReportError(const QString& message) {
    if (Reporter())
        Reporter()(message);
    else
        qWarning("%s", qUtf8Printable(message));
}

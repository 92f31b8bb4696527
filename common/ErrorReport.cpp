#include "common/ErrorReport.h"

#include <QtGlobal>
#include <utility>

namespace {

ErrorReporter& Reporter() {
    static ErrorReporter reporter;
    return reporter;
}

} // namespace

void SetErrorReporter(ErrorReporter reporter) {
    Reporter() = std::move(reporter);
}

ErrorReporter SwapErrorReporter(ErrorReporter reporter) {
    std::swap(Reporter(), reporter);
    return reporter;
}

void ReportError(const QString& message) {
    if (Reporter())
        Reporter()(message);
    else
        qWarning("%s", qUtf8Printable(message));
}

void RunGuarded(const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& error) {
        // Every error of this program carries its message in UTF-8.
        ReportError(QString::fromUtf8(error.what()));
    }
}

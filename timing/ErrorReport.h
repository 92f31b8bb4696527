#pragma once
// Errors found where nothing can throw them on to a handler's caller (a grid fetching rows
// while it paints, a grid posting a row when the cursor moves) are reported here; the
// application shows them the way it shows the errors of its event handlers.

#include <QString>
#include <functional>

using ErrorReporter = std::function<void(const QString& message)>;

void SetErrorReporter(ErrorReporter reporter);
// Shows the message through the reporter (a warning on the console when none is set).
void ReportError(const QString& message);

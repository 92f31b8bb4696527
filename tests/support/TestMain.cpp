#include "app/TarnikApplication.h"
#include "support/ShownErrors.h"

#include <gtest/gtest.h>

QStringList& ShownErrors() {
    static QStringList errors;
    return errors;
}

// Every test program runs in the program's own application object: widget tests need one,
// the others its event loop, and an exception out of a handler reaches the error handler as
// in the program. The handler records instead of opening a dialog, which would block.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    TarnikApplication app(argc, argv);
    app.setApplicationDisplayName(QStringLiteral("Tarnikmid Application"));
    app.SetErrorDialog([](const QString& message) { ShownErrors().append(message); });
    return RUN_ALL_TESTS();
}

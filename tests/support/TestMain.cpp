#include "app/TarnikApplication.h"
#include "support/ShownErrors.h"

#include <QTemporaryDir>
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
    // The program's own files (the stamp journal, the check list's statement) go to a folder
    // of this process: a test must never take up, or clear, the journal of a real run.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    testing::InitGoogleTest(&argc, argv);
    TarnikApplication app(argc, argv);
    app.SetErrorDialog([](const QString& message) { ShownErrors().append(message); });
    return RUN_ALL_TESTS();
}

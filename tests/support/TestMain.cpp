#include <QApplication>
#include <gtest/gtest.h>

// Every test program gets a QApplication: widget tests need one, and the others
// need its event loop for queued and blocking hand-overs between threads.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

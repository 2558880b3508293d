// GoogleTest main for tests that need a QApplication (run them with
// QT_QPA_PLATFORM=offscreen).
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // In-process window tests: the offscreen platform with one 1280 x 800
    // screen, unless the caller chose otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM",
                "offscreen:configfile=" TIRELMA_SOURCE_DIR "/tests/support/screens.json");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include <gtest/gtest.h>
#include <QGuiApplication>

#include "progress/ProgressViewer.h"

// Viewers draw text in their own threads, which needs a QGuiApplication for the whole run. Qt's
// own windows are never shown here, so the offscreen platform does when none is chosen.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ProgressViewerStartup();
    const int result = RUN_ALL_TESTS();
    ProgressViewerShutdown();
    return result;
}

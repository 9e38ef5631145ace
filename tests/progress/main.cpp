#include <gtest/gtest.h>

#ifndef _WIN32
#include <QGuiApplication>
#endif

#include "progress/ProgressViewer.h"

int main(int argc, char** argv) {
#ifndef _WIN32
    // The Qt painter draws text in the viewer threads, which needs a QGuiApplication for the
    // whole run. Qt's own windows are never shown here, so the offscreen platform does when none
    // is chosen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    ProgressViewerStartup();
    const int result = RUN_ALL_TESTS();
    ProgressViewerShutdown();
    return result;
}

// Shows a live progress viewer for a few seconds while this thread sleeps without pumping
// events, as the program's own long steps do. Used for screenshots: progress_show [seconds]
// [percent] [cancel].

#include <chrono>
#include <cstdlib>
#include <thread>

#ifndef _WIN32
#include <QGuiApplication>
#endif

#include "progress/ProgressViewer.h"

int main(int argc, char** argv) {
#ifndef _WIN32
    // The Qt painter needs it; the window itself is our own, not Qt's.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
#endif
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5;
    const double percent = argc > 2 ? std::atof(argv[2]) : 37.9;
    const bool cancel = argc > 3 && std::atoi(argv[3]) != 0;
    ProgressViewerStartup();
    AppName = "ЛАРМИС";
    auto* viewer = new TProgressViewer("Обработка справочника из KELAV", true, cancel);
    viewer->Percent = percent;
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    viewer->Terminate();
    ProgressViewerShutdown();
    return 0;
}

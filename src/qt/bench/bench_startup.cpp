// Start-up of the desktop program to its first painted frame: the steps of main() (application
// object, progress unit, fonts, icon, main window, hidden results viewer, show), timed from the
// first line of main() to the main window's first paint, then the program quits. The whole
// process, loading included, is timed from outside (scripts/bench runs it under /usr/bin/time).
#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include "progress/ProgressViewer.h"
#include "qt/AppStartup.h"
#include "qt/DataViewerFrm.h"
#include "qt/MainFrm.h"

TMainForm* MainForm = nullptr;
TDataViewerForm* DataViewerForm = nullptr;

namespace {

using TClock = std::chrono::steady_clock;

class TFirstPaint final : public QObject {
  public:
    explicit TFirstPaint(TClock::time_point start) : Start(start) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !Seen) {
            Seen = true;
            double ms = std::chrono::duration<double, std::milli>(TClock::now() - Start).count();
            std::printf("main() to first painted frame: %.1f ms\n", ms);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    TClock::time_point Start;
    bool Seen = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    const TClock::time_point start = TClock::now();
    QApplication application(argc, argv);
    ProgressViewerStartup();
    LoadApplicationFonts();
    QApplication::setWindowIcon(AppIcon());
    {
        TMainForm mainForm;
        MainForm = &mainForm;
        DataViewerForm = new TDataViewerForm(&mainForm);
        TFirstPaint firstPaint(start);
        mainForm.installEventFilter(&firstPaint);
        mainForm.show();
        QApplication::exec();
        mainForm.removeEventFilter(&firstPaint);
        MainForm = nullptr;
        DataViewerForm = nullptr;
    }
    ProgressViewerShutdown();
    return 0;
}

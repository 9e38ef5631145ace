#include <signal.h>

#include <QApplication>

#include "progress/ProgressViewer.h"
#include "qt/AppStartup.h"
#include "qt/DataViewerFrm.h"
#include "qt/MainFrm.h"

TMainForm* MainForm = nullptr;
TDataViewerForm* DataViewerForm = nullptr;

int main(int argc, char* argv[]) {
    // A file size limit must end a write with an error the export reports, not kill the program.
    ::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    // The progress windows draw their text with Qt, which needs the application object first.
    ProgressViewerStartup();
    LoadApplicationFonts();
    QApplication::setWindowIcon(AppIcon());
    int result = 0;
    {
        TMainForm mainForm;
        MainForm = &mainForm;
        // Created hidden after the main window, whose goods table its grid shows.
        DataViewerForm = new TDataViewerForm(&mainForm);
        mainForm.show();
        result = QApplication::exec();
        MainForm = nullptr;
        DataViewerForm = nullptr;
    }
    // Every progress window's thread has ended before the application object goes.
    ProgressViewerShutdown();
    return result;
}

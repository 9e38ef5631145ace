#include <signal.h>

#include <QApplication>

#include "app/AppStartup.h"
#include "app/DataViewerFrm.h"
#include "app/MainFrm.h"
#include "progress/ProgressViewer.h"

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

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include "progress/ProgressViewer.h"
#include "win32/MainWindow.h"

// The desktop program on Windows: the main window with the results viewer, their message loop,
// and the progress display's set-up and release around it.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    // The folder chooser is a shell dialog: it needs OLE on this thread.
    const HRESULT ole = OleInitialize(nullptr);
    ProgressViewerStartup();
    int result = 0;
    {
        TMainWindow mainWindow(instance);
        mainWindow.Show(showCommand);
        MSG message;
        BOOL got;
        while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
            if (mainWindow.PreTranslate(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        result = got == 0 ? static_cast<int>(message.wParam) : 1;
    }
    // Every progress window's thread has ended before the program does.
    ProgressViewerShutdown();
    if (SUCCEEDED(ole)) OleUninitialize();
    return result;
}

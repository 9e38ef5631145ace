// Takes the Windows program's screenshots for the documentation (scripts/screenshots-windows runs
// it under Wine on a virtual display): the main window, the results viewer with the reports of
// FOLDER loaded, the viewer again with a finding chosen, and, when a progress program is given,
// its progress window; each as a BMP with its frame.
//   win32_screenshots PROGRAM FOLDER OUTDIR [PROGRESS_PROGRAM]

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "WinDriver.h"
#include "app/WindowTexts.h"
#include "win32/DataViewerWindow.h"
#include "win32/MainWindowIds.h"

namespace {

// A 32-bit top-down BMP of the capture.
bool SaveBmp(const TCapture& capture, const std::string& path) {
    if (capture.Pixels.empty()) return false;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = capture.Width;
    info.biHeight = -capture.Height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const DWORD pixelBytes = static_cast<DWORD>(capture.Pixels.size() * 4);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + pixelBytes;
    std::ofstream out(std::filesystem::path(Wide(path)), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(reinterpret_cast<const char*>(capture.Pixels.data()), pixelBytes);
    return static_cast<bool>(out);
}

bool Shoot(HWND window, const std::string& path) {
    if (!window) return false;
    // Drawn and settled (a caret blink or a clock tick aside).
    std::this_thread::sleep_for(1500ms);
    const bool saved = SaveBmp(CaptureWindow(window, true), path);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", path.c_str());
    return saved;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: win32_screenshots PROGRAM FOLDER OUTDIR [PROGRESS_PROGRAM]\n");
        return 2;
    }
    const std::string program = Narrow(argv[1]);
    const std::string folder = Narrow(argv[2]);
    const std::string out = Narrow(argv[3]) + "\\";
    bool ok = true;
    {
        TProgram desktop(program, {}, folder);
        HWND main = WaitTopWindow(desktop.Pid(), Narrow(kMainWindowClass), kMainCaption);
        ok = Shoot(main, out + "windows-main-window.bmp") && ok;
        if (main) {
            Click(ControlById(main, mcButton1));
            const HWND viewer = WaitTopWindow(desktop.Pid(), "", kViewerCaption);
            ok = Shoot(viewer, out + "windows-results-viewer.bmp") && ok;
            if (viewer) {
                // The fourth finding chosen from the keyboard (the find box, Tab to the list,
                // Enter): the grid selects its row, as in the Linux screenshot.
                SendKeys(viewer, {VK_CONTROL}, 'F');
                SendKeys(viewer, {}, VK_TAB);
                SendKeys(viewer, {}, VK_HOME);
                for (int line = 0; line < 3; ++line) SendKeys(viewer, {}, VK_DOWN);
                SendKeys(viewer, {}, VK_RETURN);
                ok = Shoot(viewer, out + "windows-results-viewer-finding.bmp") && ok;
            }
            PostMessageW(main, WM_CLOSE, 0, 0);
            desktop.WaitExit();
        }
    }
    if (argc > 4) {
        // A live viewer at 37.9 % for a few seconds.
        TProgram progress(Narrow(argv[4]), {"6", "37.9"});
        ok = Shoot(WaitTopWindow(progress.Pid(), "ProgressViewerFormClass", ""),
                   out + "windows-progress.bmp") &&
             ok;
        progress.WaitExit();
    }
    return ok ? 0 : 1;
}

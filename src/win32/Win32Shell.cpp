#include "win32/Win32Shell.h"

#include <shlobj.h>

#include <memory>
#include <vector>

#include "app/BoxOwner.h"
#include "win32/Clipboard.h"
#include "win32/WideText.h"

namespace {

UINT BoxIcon(TDialogIcon icon) {
    switch (icon) {
        case diWarning:
            return MB_ICONWARNING;
        case diInformation:
            return MB_ICONINFORMATION;
        case diError:
            return MB_ICONERROR;
        case diQuestion:
            return MB_ICONQUESTION;
    }
    return 0;
}

// While a box is up, every window of the program is disabled, not only the box's owner: the
// results viewer and the main window each take no input until it is answered.
class TDisabledWindows {
  public:
    explicit TDisabledWindows(HWND owner) : Owner(owner) {
        EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
        for (HWND window : Windows) EnableWindow(window, FALSE);
    }
    ~TDisabledWindows() {
        for (HWND window : Windows) {
            if (IsWindow(window)) EnableWindow(window, TRUE);
        }
    }
    TDisabledWindows(const TDisabledWindows&) = delete;
    TDisabledWindows& operator=(const TDisabledWindows&) = delete;

  private:
    static BOOL CALLBACK Collect(HWND window, LPARAM data) {
        auto* self = reinterpret_cast<TDisabledWindows*>(data);
        // The owner is disabled by the box itself and enabled again before it goes.
        if (window != self->Owner && IsWindowVisible(window) && IsWindowEnabled(window)) {
            self->Windows.push_back(window);
        }
        return TRUE;
    }

    HWND Owner;
    std::vector<HWND> Windows;
};

// A known folder's path; empty when the system names none.
std::string KnownFolder(REFKNOWNFOLDERID id, DWORD flags) {
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, flags, nullptr, &path);
    std::string folder = SUCCEEDED(result) && path ? Narrow(path) : std::string();
    CoTaskMemFree(path);
    return folder;
}

}  // namespace

HWND TWin32Shell::BoxOwner() const {
    // None of them may be active: a progress window's thread has the keyboard, or another program.
    HWND active = GetActiveWindow();
    HWND last = Home ? GetLastActivePopup(Home) : nullptr;
    return ::BoxOwner<HWND>({Home, active, active && GetAncestor(active, GA_ROOTOWNER) == Home,
                             last, last && IsWindowVisible(last) && IsWindowEnabled(last)});
}

int TWin32Shell::Box(const std::string& title, const std::string& text, UINT type) {
    HWND owner = BoxOwner();
    TDisabledWindows disabled(owner);
    // In front even when the keyboard has just been handed back from a progress window's thread
    // and the system is still raising that box's owner.
    return MessageBoxW(owner, Wide(text).c_str(), Wide(title).c_str(), type | MB_SETFOREGROUND);
}

void TWin32Shell::ShowBox(TDialogIcon icon, const std::string& title, const std::string& text) {
    Box(title, text, MB_OK | BoxIcon(icon));
}

bool TWin32Shell::Confirm(const std::string& title, const std::string& text) {
    return Box(title, text, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

TViewerShell::TKeyboardReturn TWin32Shell::KeyboardReturn() const {
    const HWND back = BoxOwner();
    // Set by the viewer's thread once its window has gone.
    const std::shared_ptr<void> gone(CreateEventW(nullptr, TRUE, FALSE, nullptr), [](HANDLE event) {
        if (event) CloseHandle(event);
    });
    return {[gone] { SetEvent(gone.get()); },
            [back, gone] {
                // The viewer's thread hides its window, and the system then activates another
                // window of the program from there: late enough to land over a box the step
                // shows next. So the keyboard goes back once the viewer has gone (a few ticks at
                // the most), with what its thread sent meanwhile handled.
                HANDLE event = gone.get();
                const ULONGLONG until = GetTickCount64() + 1000;
                MSG message;
                for (;;) {
                    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
                    const ULONGLONG now = GetTickCount64();
                    if (now >= until) break;
                    // Woken by the event, by a message sent from another thread, or by the time.
                    const DWORD woke = MsgWaitForMultipleObjects(
                        1, &event, FALSE, static_cast<DWORD>(until - now), QS_SENDMESSAGE);
                    if (woke != WAIT_OBJECT_0 + 1) break;
                }
                PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
                if (back && IsWindow(back)) SetForegroundWindow(back);
            }};
}

std::string TWin32Shell::ProgramPath() const {
    // Paths may be longer than MAX_PATH: grow until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return Narrow(path);
        }
        path.resize(path.size() * 2);
    }
}

TSystemFolders TWin32Shell::SystemFolders() const {
    TSystemFolders folders;
    // The program folders are only compared with the program's: one that does not exist (nothing
    // installed for this user alone yet) still names where installed programs go.
    for (const KNOWNFOLDERID* id : {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86}) {
        std::string folder = KnownFolder(*id, KF_FLAG_DONT_VERIFY);
        if (!folder.empty()) folders.ProgramFolders.push_back(std::move(folder));
    }
    std::string userPrograms = KnownFolder(FOLDERID_UserProgramFiles, KF_FLAG_DONT_VERIFY);
    if (userPrograms.empty()) {
        // Its documented default, where the system does not know the folder (Wine 8 does not).
        const std::string local = KnownFolder(FOLDERID_LocalAppData, KF_FLAG_DONT_VERIFY);
        if (!local.empty()) userPrograms = local + "\\Programs";
    }
    if (!userPrograms.empty()) folders.ProgramFolders.push_back(std::move(userPrograms));
    folders.Documents = KnownFolder(FOLDERID_Documents, KF_FLAG_DEFAULT);
    return folders;
}

std::optional<std::string> TWin32Shell::ClipboardText() const {
    return ReadClipboardText(Home);
}

void TWin32Shell::SetClipboardText(const std::string& text) {
    WriteClipboardText(Home, text);
}

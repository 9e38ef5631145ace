#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/AppRules.h"
#include "import/RunHost.h"

enum TDialogIcon : std::uint8_t { diWarning, diInformation, diError, diQuestion };

// A front end's progress window for one long step, drawn by a thread of its own.
class IProgressWindow {
  public:
    virtual ~IProgressWindow() = default;
    virtual void SetPercent(double percent) = 0;
    // Asks the window to go; called once, and nothing is called after it.
    virtual void Close() = 0;
};

// What the program's behaviour needs of a front end besides its windows' controls: a box, a
// progress window, the program's own path and the system's folders. The Qt front end fills it with
// its message boxes and TProgressViewer; the tests with a recorder. Texts are UTF-8.
class IShell {
  public:
    virtual ~IShell() = default;
    // A modal box with an icon and one OK button over the program's active window; returns when
    // the operator has closed it.
    virtual void ShowBox(TDialogIcon icon, const std::string& title, const std::string& text) = 0;
    // A modal question with OK and Cancel; true for OK.
    virtual bool Confirm(const std::string& title, const std::string& text) = 0;
    // A progress window, shown at once.
    virtual std::unique_ptr<IProgressWindow> OpenProgress(const std::string& caption,
                                                          bool percentMode) = 0;
    // The headline of every progress window opened afterwards.
    virtual void SetProgressAppName(const std::string& name) = 0;
    // The path of the program's own file, the platform's delimiter between folders.
    virtual std::string ProgramPath() const = 0;
    // The system's program folders and the user's documents folder, as the system names them.
    virtual TSystemFolders SystemFolders() const = 0;
    // The system's clipboard as text; nothing when it holds no text (or, in a shell without a
    // clipboard, never).
    virtual std::optional<std::string> ClipboardText() const { return std::nullopt; }
    virtual void SetClipboardText(const std::string& /*text*/) {}
};

// The standard error display: an error box titled with the application title, showing the
// message with a full stop added by the display rule (ErrorDisplayText).
void ShowErrorDisplay(IShell& shell, std::string_view message);

// Runs one event handler's body; an exception never leaves it: its message goes to the standard
// error display and the window stays usable. True when the body ended without an error. The body
// runs as a handler frame (THandlerFrame).
bool RunHandler(IShell& shell, const std::function<void()>& body);

// A handler of the program's windows on the main thread's stack for this object's lifetime
// (RunHandler holds one; a front end's own modal step outside it may too).
class THandlerFrame {
  public:
    THandlerFrame();
    // The outermost frame delivers the closes held meanwhile again (THeldClose).
    ~THandlerFrame();
    THandlerFrame(const THandlerFrame&) = delete;
    THandlerFrame& operator=(const THandlerFrame&) = delete;
};

// A window's close that must not be carried out under a running handler: a box the handler shows
// runs the toolkit's modal loop, which goes on delivering events, and a close carried out there
// would destroy windows and controllers under the handler that opened the box. A request that
// comes then is held; once the outermost handler has ended, `deliverAgain` is called once to queue
// the request to the window again, so that it arrives from the event loop.
class THeldClose {
  public:
    explicit THeldClose(std::function<void()> deliverAgain);
    ~THeldClose();
    THeldClose(const THeldClose&) = delete;
    THeldClose& operator=(const THeldClose&) = delete;

    // A close request reached the window: true when it is to be carried out now, false when it is
    // held.
    bool Request();

  private:
    friend class THandlerFrame;
    std::function<void()> DeliverAgain;
};

// A step's progress shown in a front end's progress window: the window is closed exactly once, by
// Terminate or, on a way out without it, when the sink goes.
std::unique_ptr<IProgressSink> ProgressSinkOf(std::unique_ptr<IProgressWindow> window);

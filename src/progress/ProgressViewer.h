#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "progress/ViewerLayout.h"

// The progress viewer: a small always-on-top window that runs in a thread of its own and so stays
// painted and current while the owner's thread works without pumping events.
//
// Use: ProgressViewerStartup() once (on Linux after the QGuiApplication exists: the Qt painter
// needs it); `new TProgressViewer(...)`; write `Percent` as the work goes on; `Terminate()`
// exactly once, after which the viewer hides its window and frees itself in its own thread;
// ProgressViewerShutdown() before the application object goes away.

// A colour: 00BBGGRR for an RGB colour, FF0000nn for system colour nn, clDefault for none given.
using TColor = std::uint32_t;
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clBlack = 0x00000000;
// Aqua (blue and green full): BarColor until an owner changes it.
inline constexpr TColor kDefaultBarColor = 0x00FFFF00;

// A font style set: any of the four bits below. All four at once means "not given".
using TFontStyles = std::uint8_t;
inline constexpr TFontStyles fsBold = 1;
inline constexpr TFontStyles fsItalic = 2;
inline constexpr TFontStyles fsUnderline = 4;
inline constexpr TFontStyles fsStrikeOut = 8;
inline constexpr TFontStyles fsAllStyles = fsBold | fsItalic | fsUnderline | fsStrikeOut;

// A font size that means "not given".
inline constexpr std::int32_t kFontSizeNotGiven = -1;

enum TAlignment : std::uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

enum TStringParam : std::uint8_t {
    spText = 0,
    spAlignment = 1,
    spWordWrap = 2,
    spFontName = 3,
    spFontSize = 4,
    spFontStyle = 5,
    spColor = 6,
};

// A value for ChangeStringParams: an integer, a Boolean or a text. A value of the wrong kind for
// its parameter is a conversion failure.
using TStringParamValue = std::variant<int, bool, std::string>;

// Unit settings: read when a viewer is created; change them before creating one.
extern std::string AppName;           // headline (line -1)
extern bool ShowPercentText;          // number on the bar in percentage mode
extern int RefreshInterval;           // pause after every tick, milliseconds
extern bool ShowElapsedTime;          // the elapsed-time line
extern TColor BarColor;               // done part of the bar and the running block
extern std::string CancelCaption;     // text of the cancel button
extern std::string AbortedMessage;    // for owners that stop after a cancel; never shown here
extern std::string WaitLine1;         // waiting notice, line 1001
extern std::string WaitLine2;         // waiting notice, line 1002
extern std::string ElapsedFormat;     // %s receives the elapsed time "H:MM:SS"
extern std::string DefaultFontName;   // for a line that names no font
extern TColor DefaultFontColor;       // for a line that gives no colour
extern int DefaultFontSize;           // points, for a line that gives no size
extern TFontStyles DefaultFontStyle;  // for a line that gives no style

// True once RegisterViewerClass has run; viewers can be created only then.
extern std::atomic<bool> ClassRegistered;

// Creates the window registry, then registers the viewer class (fonts included).
void ProgressViewerStartup();
// Prepares the platform (fonts on Linux, the window class on Windows) and sets ClassRegistered.
void RegisterViewerClass();
// Terminates every viewer still running, waits until every viewer thread and additional thread
// has ended, then frees the registry. On Linux call it while the QGuiApplication still exists.
void ProgressViewerShutdown();

// One line of the text block.
struct TViewerString {
    std::int32_t Key = 0;
    std::string Text;
    TAlignment Alignment = taLeftJustify;
    bool WordWrap = false;
    std::string FontName;
    std::int32_t FontSize = 0;  // points
    TFontStyles FontStyle = 0;
    TColor Color = clBlack;
    std::int32_t Height = 0;  // pixels, set by the layout

    bool operator==(const TViewerString&) const = default;
};

class EProgressException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TProgressViewer;
class TAdditionalThread;
class IViewerPainter;
class IViewerWindowSystem;
class IViewerWindow;
struct TWindowEvent;

// The owner's cancel callback. Assigning and calling are safe from different threads.
class TViewerEvent {
  public:
    using TMethod = std::function<void(TProgressViewer*)>;
    TViewerEvent& operator=(TMethod method);
    // Calls the method, if any, and swallows whatever it throws.
    void Call(TProgressViewer* viewer) const;

  private:
    mutable std::mutex Lock;
    TMethod Method;
};

// A value the owner asks for and the viewer thread applies at its next tick, under a lock.
template <class T>
class TGeometryRequest {
  public:
    TGeometryRequest(std::recursive_mutex& lock, T value) : Lock(lock), Value(value) {}
    TGeometryRequest& operator=(T value) {
        std::lock_guard<std::recursive_mutex> guard(Lock);
        Value = value;
        return *this;
    }
    T Get() const {
        std::lock_guard<std::recursive_mutex> guard(Lock);
        return Value;
    }

  private:
    std::recursive_mutex& Lock;
    T Value;
};

class TProgressViewer {
  public:
    // Builds the viewer with its standard lines; its thread starts when the constructor returns.
    // Throws EProgressException when the viewer class is not registered. On Linux needs a
    // QGuiApplication.
    TProgressViewer(const std::string& Caption, bool PercentMode, bool ShowCancel,
                    std::function<void(TProgressViewer*)> OnExecute = nullptr);
    TProgressViewer(const TProgressViewer&) = delete;
    TProgressViewer& operator=(const TProgressViewer&) = delete;

    // Asks the viewer to end and returns at once. The viewer thread hides the window and frees
    // the viewer; the caller must not touch it afterwards. `whenGone` runs once the window is
    // gone: in the viewer thread after the viewer is freed, or here when it went already.
    void Terminate(std::function<void()> whenGone = nullptr);

    // Adds the line with this key, or replaces every field of it. clDefault, kFontSizeNotGiven,
    // fsAllStyles and an empty name mean "not given" and resolve to the viewer's DefFont... values
    // when given, else to the unit's Default... settings.
    void PutString(std::int32_t Key, const std::string& Text, TAlignment Alignment = taLeftJustify,
                   bool WordWrap = false, TColor Color = clDefault,
                   TFontStyles FontStyle = fsAllStyles, std::int32_t FontSize = kFontSizeNotGiven,
                   const std::string& FontName = std::string());

    // Sets the fields named by Params[i] of line Key to Values[i]. Throws EProgressException
    // "TProgressViewer.ChangeStringParams -> ..." for a missing line, arrays of different length
    // or a value of the wrong kind; the line is then unchanged.
    void ChangeStringParams(std::int32_t Key, const std::vector<TStringParam>& Params,
                            const std::vector<TStringParamValue>& Values);

    // Stores the caption and shows it as line 0.
    void SetCaption(const std::string& Caption);

    // A copy of the text lines in key order.
    std::vector<TViewerString> GetStrings() const;

    // Progress 0..100 in percentage mode (clamped when drawn); the running block's left edge in
    // marquee mode. Written by the owner without a lock.
    std::atomic<double> Percent{0.0};
    const bool PercentMode;
    // Set when the user cancelled (Esc or the cancel button); never reset.
    std::atomic<bool> Cancelled{false};
    // Called in the viewer thread on every cancel.
    TViewerEvent OnCancel;

    // Re-entrant: the owner may hold one across several calls.
    mutable std::recursive_mutex StringsLock;
    mutable std::recursive_mutex GeometryLock;

    TGeometryRequest<int> RequestedWidth{GeometryLock, kViewerInitialWidth};
    TGeometryRequest<bool> RequestedCancelVisible;

    // Per-viewer defaults for lines added afterwards (owner thread only).
    TColor DefFontColor = clDefault;
    std::int32_t DefFontSize = kFontSizeNotGiven;
    TFontStyles DefFontStyle = fsAllStyles;
    std::string DefFontName;

  private:
    friend void ProgressViewerShutdown();

    ~TProgressViewer();
    void SignalTerminate();

    void ThreadMain();
    void Execute();
    void Tick();
    void ApplyRequests();
    void CreateViewerWindow();
    void PumpMessages();
    void RebuildLayout();
    void DrawProgress();
    void SetSize(int width, int height);
    void CentreOnWorkArea();
    void ApplyScale(int dpi);
    void DoCancel();
    void WaitTick();
    bool IsTerminated() const;
    void WindowProc(const TWindowEvent& event);
    static void ViewerWindowProc(std::uint64_t handle, const TWindowEvent& event);

    // Settings taken when the viewer was created, so a running viewer never races the owner.
    struct TSettings {
        bool ShowPercentText;
        int RefreshInterval;
        bool ShowElapsedTime;
        TColor BarColor;
        std::string CancelCaption;
        std::string ElapsedFormat;
    };
    const TSettings Settings;

    int Left = 0;
    int Top = 0;
    std::unique_ptr<IViewerPainter> Painter;
    std::unique_ptr<IViewerWindowSystem> WindowSystem;
    std::unique_ptr<IViewerWindow> Window;
    std::uint64_t WindowHandle = 0;
    std::int64_t StartTime = 0;  // monotonic clock, nanoseconds
    std::unique_ptr<TAdditionalThread> AdditionalThread;
    std::vector<TViewerString> Strings;
    bool LayoutValid = false;
    int Width = kViewerInitialWidth;
    int Height = kViewerInitialHeight;
    // The window's resolution: Width, Height and every drawn size are the design's scaled by it.
    TViewerScale Scale;
    bool CancelVisible;
    TColor BackColor = clBtnFace;
    std::string Caption;

    // Termination flag and the wake-up of the pause between ticks.
    mutable std::mutex TerminateLock;
    std::condition_variable TerminateWake;
    bool TerminatedFlag = false;
    // Set by Terminate under the keeper's lock, taken by the viewer thread after ViewerGone.
    std::function<void()> WhenGone;
};

// Runs the owner's work method in a third thread while the viewer shows progress. Started by the
// viewer thread once the window is shown; ended (and waited for) when the viewer ends. A work
// method that throws ends the thread; the failure is swallowed.
class TAdditionalThread {
  public:
    TAdditionalThread(TProgressViewer* Viewer, std::function<void(TProgressViewer*)> OnExecute);
    ~TAdditionalThread();  // terminates and waits when started; a never-started one just goes
    TAdditionalThread(const TAdditionalThread&) = delete;
    TAdditionalThread& operator=(const TAdditionalThread&) = delete;

    void Start();
    void Terminate();
    void WaitFor();

  private:
    void Execute();

    TProgressViewer* Viewer;
    std::function<void(TProgressViewer*)> OnExecute;
    std::mutex Lock;
    std::condition_variable Wake;
    bool Terminated = false;
    std::unique_ptr<std::thread> Thread;
};

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "progress/ViewerLayout.h"

// The one window layer of the progress viewer: everything the viewer thread needs of a native
// window. Each viewer thread opens its own window system (its own X connection on Linux, its own
// window and message queue on Windows), so no call here crosses threads.

using TViewerWindowHandle = std::uint64_t;

enum TWindowEventKind : std::uint8_t {
    wekEscape,  // Esc pressed (every key-down, repeats included)
    wekClick,   // left button pressed at (X, Y), window coordinates
    wekClose,   // the window manager asks to close the window
    wekExpose,  // part of the window must be painted again
    // The window now shows at X dots per inch (moved to another monitor, or its scaling
    // changed) and has been given the system's suggested place, Place.
    wekDpiChanged,
};

struct TWindowEvent {
    TWindowEventKind Kind = wekExpose;
    int X = 0;
    int Y = 0;
    TRect Place;

    TWindowEvent() = default;
    TWindowEvent(TWindowEventKind kind, int x, int y, TRect place = {})
        : Kind(kind), X(x), Y(y), Place(place) {}
};

// A top-level window without decorations, above other windows, without a taskbar entry.
// Destroying the object destroys the native window.
class IViewerWindow {
  public:
    virtual ~IViewerWindow() = default;
    virtual TViewerWindowHandle Handle() const = 0;
    // Moves and resizes the window, keeping it above others and shown.
    virtual void Place(int left, int top, int width, int height) = 0;
    // Shows the whole frame at (0, 0).
    virtual void Present(const TFramePixels& frame) = 0;
    // The next pending event, without waiting; false when none is left.
    virtual bool NextEvent(TWindowEvent& event) = 0;
    virtual void Hide() = 0;
};

class IViewerWindowSystem {
  public:
    virtual ~IViewerWindowSystem() = default;
    virtual TWorkArea WorkArea() = 0;
    // The dots per inch of the monitor a new window opens on; 96 where the platform scales the
    // viewer itself.
    virtual int Dpi() { return 96; }
    // A new shown window, or nullptr when it cannot be created.
    virtual std::unique_ptr<IViewerWindow> CreateViewerWindow(const std::string& title, int left,
                                                              int top, int width, int height) = 0;
};

using TViewerWindowSystemFactory = std::function<std::unique_ptr<IViewerWindowSystem>()>;

// Replaces the way viewer threads open their window system (tests install a recorder); an
// empty factory restores the platform's own.
void SetViewerWindowSystemFactory(TViewerWindowSystemFactory factory);

// The window system for the calling viewer thread, or nullptr (no display: run windowless).
std::unique_ptr<IViewerWindowSystem> OpenViewerWindowSystem();

// The platform's own, one per viewer thread: on Linux a connection to the X display named by
// DISPLAY (nullptr when it cannot be opened or its pixel format is not one we can draw); on
// Windows the thread's own windows of the viewer class.
std::unique_ptr<IViewerWindowSystem> OpenPlatformWindowSystem();

// Once per process, before the first viewer: on Linux makes the viewer's fonts available, on
// Windows registers the viewer's window class. False when viewers cannot be created.
bool RegisterPlatformViewerClass();

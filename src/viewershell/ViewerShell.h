#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/Shell.h"

// A front end's shell whose progress windows are TProgressViewer's. The front end adds its boxes,
// the program's path, and what gives the keyboard back when a progress window goes.
class TViewerShell : public IShell {
  public:
    std::unique_ptr<IProgressWindow> OpenProgress(const std::string& caption,
                                                  bool percentMode) final;
    void SetProgressAppName(const std::string& name) final;

    // What gives the keyboard back to the window that started a step when its progress window
    // goes (the viewer took it).
    struct TKeyboardReturn {
        // Runs once in the progress window's own thread, when its window is gone.
        std::function<void()> WindowGone;
        // Runs once in the owner's thread, after the window was asked to go.
        std::function<void()> GiveBack;
    };

  protected:
    // Called as a progress window opens.
    virtual TKeyboardReturn KeyboardReturn() const = 0;
};

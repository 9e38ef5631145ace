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

  protected:
    // Called as a progress window opens; what it returns runs once, when that window has gone,
    // and gives the keyboard back to the window that started the step (the viewer took it).
    virtual std::function<void()> KeyboardReturn() const = 0;
};

#pragma once

#include <functional>
#include <memory>
#include <string>

#include "import/RunHost.h"

// A progress sink shown as a progress window of its own thread. `whenGone` runs on the calling
// thread right after the window has been asked to go (to hand the keyboard back).
std::unique_ptr<IProgressSink> CreateViewerSink(const std::string& caption, bool percentMode,
                                                std::function<void()> whenGone);

// The headline every progress window created afterwards shows.
void SetProgressAppName(const std::string& name);

#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The system's choosers over `owner` (paths UTF-8). Both return nothing when cancelled.

// The file chooser for opening one existing file, with the program's title and filter, starting
// in `folder` (none: the system's choice) with `name` preset. The current folder stays as it was.
std::optional<std::string> ChooseFileToOpen(HWND owner, const std::string& folder,
                                            const std::string& name);

// The folder chooser titled "Select Directory", starting at `start`: a tree of the drives and
// folders with their files shown for orientation, no button to make folders.
std::optional<std::string> ChooseFolder(HWND owner, const std::string& start);

#pragma once

#include <cstddef>

#include "progress/ViewerWindow.h"

class TProgressViewer;

// The window registry: which viewer owns which native window, so the one window procedure can
// find the viewer of an event. Process-wide; every call takes the registry's lock. Calls before
// CreateViewerRegistry or after FreeViewerRegistry find nothing and register nothing.

void CreateViewerRegistry();
void FreeViewerRegistry();

// Adds the pair unless the handle is registered already.
void RegisterViewerWindow(TViewerWindowHandle handle, TProgressViewer* viewer);
void UnregisterViewerWindow(TViewerWindowHandle handle);
// The viewer of the window, or nullptr.
TProgressViewer* FindViewer(TViewerWindowHandle handle);
std::size_t RegisteredWindowCount();

#pragma once

#include <cstddef>
#include <functional>

class TProgressViewer;

// Keeps every viewer thread joinable until someone waits for it, so shut-down can be sure that
// no viewer thread (and so no additional thread, which its viewer waits for) is left running.

// Starts `body` in a new tracked thread for `viewer` (which counts as live until it calls
// ViewerGone). Joins threads that have finished meanwhile.
void StartViewerThread(TProgressViewer* viewer, std::function<void()> body);

// Runs at the start of every viewer thread before anything else (tests widen races with it).
void SetViewerThreadStartHook(std::function<void()> hook);

// Called by the viewer thread right before the viewer frees itself.
void ViewerGone(TProgressViewer* viewer);

// Runs `action` on the viewer while it is known to be alive (false: it is gone already).
bool WithLiveViewer(TProgressViewer* viewer, const std::function<void()>& action);

// Runs `action` on every live viewer, all under the keeper's lock.
void ForEachLiveViewer(const std::function<void(TProgressViewer*)>& action);

// Joins every tracked thread, including those started while waiting.
void WaitForViewerThreads();

// Viewers constructed and not yet freed.
std::size_t LiveViewerCount();

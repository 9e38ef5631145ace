#include "progress/ViewerLifetime.h"

#include <list>
#include <mutex>
#include <set>
#include <thread>

namespace {

struct TTrackedThread {
    std::thread Thread;
    bool Finished = false;
};

// Guards everything below. Terminate also holds it, so a viewer cannot free itself while an
// owner or the shut-down is still inside its Terminate.
std::mutex KeeperLock;
std::list<TTrackedThread> Threads;
std::set<TProgressViewer*> LiveViewers;
std::function<void()> StartHook;

void JoinFinishedLocked() {
    for (auto it = Threads.begin(); it != Threads.end();) {
        if (it->Finished) {
            it->Thread.join();
            it = Threads.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace

void StartViewerThread(TProgressViewer* viewer, std::function<void()> body) {
    std::lock_guard<std::mutex> guard(KeeperLock);
    JoinFinishedLocked();
    LiveViewers.insert(viewer);
    Threads.emplace_back();
    const auto entry = std::prev(Threads.end());
    try {
        entry->Thread = std::thread([entry, hook = StartHook, run = std::move(body)] {
            if (hook) {
                hook();
            }
            run();
            // The last thing the thread does: after this it only returns.
            std::lock_guard<std::mutex> done(KeeperLock);
            entry->Finished = true;
        });
    } catch (...) {
        // No thread (the system has none to give): the viewer is not constructed, so nothing
        // may be left to signal or join at shut-down.
        Threads.erase(entry);
        LiveViewers.erase(viewer);
        throw;
    }
}

void SetViewerThreadStartHook(std::function<void()> hook) {
    std::lock_guard<std::mutex> guard(KeeperLock);
    StartHook = std::move(hook);
}

void ViewerGone(TProgressViewer* viewer) {
    std::lock_guard<std::mutex> guard(KeeperLock);
    LiveViewers.erase(viewer);
}

bool WithLiveViewer(TProgressViewer* viewer, const std::function<void()>& action) {
    std::lock_guard<std::mutex> guard(KeeperLock);
    if (LiveViewers.count(viewer) == 0) {
        return false;
    }
    action();
    return true;
}

void ForEachLiveViewer(const std::function<void(TProgressViewer*)>& action) {
    std::lock_guard<std::mutex> guard(KeeperLock);
    for (TProgressViewer* viewer : LiveViewers) {
        action(viewer);
    }
}

void WaitForViewerThreads() {
    for (;;) {
        std::list<TTrackedThread> taken;
        {
            std::lock_guard<std::mutex> guard(KeeperLock);
            // Splicing keeps the entries where the running threads expect them.
            taken.splice(taken.end(), Threads);
        }
        if (taken.empty()) {
            return;
        }
        for (TTrackedThread& tracked : taken) {
            tracked.Thread.join();
        }
    }
}

std::size_t LiveViewerCount() {
    std::lock_guard<std::mutex> guard(KeeperLock);
    return LiveViewers.size();
}

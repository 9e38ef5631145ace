#include "progress/ViewerRegistry.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// Two lists, index for index: the handles and the viewers that own them.
struct TViewerRegistry {
    std::vector<TViewerWindowHandle> Handles;
    std::vector<TProgressViewer*> Viewers;
};

std::mutex RegistryLock;
std::unique_ptr<TViewerRegistry> Registry;

}  // namespace

void CreateViewerRegistry() {
    std::lock_guard<std::mutex> guard(RegistryLock);
    if (!Registry) {
        Registry = std::make_unique<TViewerRegistry>();
    }
}

void FreeViewerRegistry() {
    std::lock_guard<std::mutex> guard(RegistryLock);
    Registry.reset();
}

void RegisterViewerWindow(TViewerWindowHandle handle, TProgressViewer* viewer) {
    std::lock_guard<std::mutex> guard(RegistryLock);
    if (!Registry) {
        return;
    }
    const auto& handles = Registry->Handles;
    if (std::find(handles.begin(), handles.end(), handle) != handles.end()) {
        return;
    }
    Registry->Handles.push_back(handle);
    Registry->Viewers.push_back(viewer);
}

void UnregisterViewerWindow(TViewerWindowHandle handle) {
    std::lock_guard<std::mutex> guard(RegistryLock);
    if (!Registry) {
        return;
    }
    auto& handles = Registry->Handles;
    const auto found = std::find(handles.begin(), handles.end(), handle);
    if (found == handles.end()) {
        return;
    }
    const auto index = found - handles.begin();
    handles.erase(found);
    Registry->Viewers.erase(Registry->Viewers.begin() + index);
}

TProgressViewer* FindViewer(TViewerWindowHandle handle) {
    std::lock_guard<std::mutex> guard(RegistryLock);
    if (!Registry) {
        return nullptr;
    }
    const auto& handles = Registry->Handles;
    const auto found = std::find(handles.begin(), handles.end(), handle);
    return found == handles.end() ? nullptr : Registry->Viewers[found - handles.begin()];
}

std::size_t RegisteredWindowCount() {
    std::lock_guard<std::mutex> guard(RegistryLock);
    return Registry ? Registry->Handles.size() : 0;
}

#include "progress/ViewerWindow.h"

#include <mutex>

namespace {

std::mutex FactoryLock;
TViewerWindowSystemFactory Factory;

}  // namespace

void SetViewerWindowSystemFactory(TViewerWindowSystemFactory factory) {
    std::lock_guard<std::mutex> guard(FactoryLock);
    Factory = std::move(factory);
}

std::unique_ptr<IViewerWindowSystem> OpenViewerWindowSystem() {
    TViewerWindowSystemFactory factory;
    {
        std::lock_guard<std::mutex> guard(FactoryLock);
        factory = Factory;
    }
    return factory ? factory() : OpenPlatformWindowSystem();
}

#include "FileFaultSwitch.h"

#include <atomic>

namespace {

class TFileFaultSwitch final : public IFileFaultHook {
  public:
    bool Fails(TFileOp op) override {
        const long n = Count[op].fetch_add(1, std::memory_order_relaxed) + 1;
        const long failAt = FailAt[op].load(std::memory_order_relaxed);
        return failAt != 0 && n == failAt;
    }

    // Atomic, as any thread may read or write a file.
    std::atomic<long> Count[kFileOpCount]{};
    std::atomic<long> FailAt[kFileOpCount]{};
};

TFileFaultSwitch& Switch() {
    static TFileFaultSwitch instance;
    return instance;
}

}  // namespace

void SetFileFault(TFileOp op, long failAt) {
    Switch().FailAt[op].store(failAt, std::memory_order_relaxed);
    SetFileFaultHook(&Switch());
}

void ResetFileFaults() {
    TFileFaultSwitch& faults = Switch();
    for (int op = 0; op < kFileOpCount; ++op) {
        faults.Count[op].store(0, std::memory_order_relaxed);
        faults.FailAt[op].store(0, std::memory_order_relaxed);
    }
    SetFileFaultHook(&faults);
}

long FileOpCount(TFileOp op) {
    return Switch().Count[op].load(std::memory_order_relaxed);
}

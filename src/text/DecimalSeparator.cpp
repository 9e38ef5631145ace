#include "text/DecimalSeparator.h"

#include <atomic>

namespace {

// Atomic because the progress thread may format numbers while the main thread reads it.
std::atomic<char> Separator{'.'};

}  // namespace

char DecimalSeparator() {
    return Separator.load(std::memory_order_relaxed);
}

void SetDecimalSeparator(char separator) {
    Separator.store(separator, std::memory_order_relaxed);
}

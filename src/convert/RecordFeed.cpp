#include "convert/RecordFeed.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace {

// Chunks made ahead and not yet written, at most: enough to keep the worker busy, and little
// memory.
constexpr std::size_t kAhead = 3;

}  // namespace

TRecordFeed::TRecordFeed(int rowCount, int chunkRows, TMaker maker)
    : RowCount(std::max(rowCount, 0)),
      ChunkRows(std::max(chunkRows, 1)),
      ChunkCount((RowCount + ChunkRows - 1) / ChunkRows),
      Maker(std::move(maker)) {
    // Only a table of more than one chunk has work for a second thread.
    if (ChunkCount < 2) {
        WorkerEnd = 0;
        return;
    }
    try {
        Worker = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
        WorkerEnd = 0;  // the caller makes everything
    }
}

TRecordFeed::~TRecordFeed() {
    {
        std::lock_guard<std::mutex> guard(Lock);
        Stopping = true;
    }
    Changed.notify_all();
    if (Worker.joinable()) Worker.join();
}

void TRecordFeed::Prepare(TRecordChunk& chunk, int index) const {
    chunk.First = index * ChunkRows + 1;
    chunk.Count = std::min(ChunkRows, RowCount - index * ChunkRows);
    chunk.Made = 0;
    chunk.Directory.clear();
    chunk.Receipt.clear();
    chunk.OnStock.clear();
}

void TRecordFeed::MakeSafely(TRecordChunk& chunk) const {
    try {
        Maker(chunk);
    } catch (...) {
        // The rows not made are written the slow way, which meets the same failure and reports
        // it on the caller's thread, in its place among the writes.
    }
}

void TRecordFeed::Work() {
    int index = 0;
    try {
        for (; index < ChunkCount; ++index) {
            if (CallerMakes(index)) continue;
            TRecordChunk chunk;
            {
                std::unique_lock<std::mutex> guard(Lock);
                Changed.wait(guard, [&] { return Stopping || Ready.size() < kAhead; });
                if (Stopping) break;
            }
            Prepare(chunk, index);
            MakeSafely(chunk);
            {
                std::lock_guard<std::mutex> guard(Lock);
                Ready.push_back(std::move(chunk));
            }
            Changed.notify_all();
        }
    } catch (...) {
        // Out of memory for a chunk: the caller makes this one and the rest.
    }
    {
        std::lock_guard<std::mutex> guard(Lock);
        WorkerEnd = index;
    }
    Changed.notify_all();
}

TRecordChunk* TRecordFeed::Next() {
    if (Handed >= ChunkCount) return nullptr;
    const int index = Handed++;
    bool fromWorker = false;
    if (!CallerMakes(index)) {
        std::unique_lock<std::mutex> guard(Lock);
        // Waits for the worker's chunk, unless the worker stopped before it.
        Changed.wait(guard,
                     [&] { return !Ready.empty() || (WorkerEnd >= 0 && WorkerEnd <= index); });
        if (!Ready.empty()) {
            Taken = std::move(Ready.front());
            Ready.pop_front();
            fromWorker = true;
        }
    }
    if (fromWorker) {
        Changed.notify_all();
        return &Taken;
    }
    Prepare(Own, index);
    MakeSafely(Own);
    return &Own;
}

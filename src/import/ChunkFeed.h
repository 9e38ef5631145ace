#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

// Work on a long run of rows or lines (1..count) split into chunks that are made ahead, on two
// cores, and used in order on the caller's thread. A chunk type has First, Count and Made (the
// items made, from First on: a maker stops at an item it cannot make, and the caller makes that
// item and the rest of the chunk itself, the slow way, meeting any failure in its own place),
// and Clear().
//
// A worker thread takes the chunks in order and makes a few ahead of the caller. The caller never
// waits for a chunk nobody has started: one the worker has not taken yet it takes and makes
// itself, so on a machine whose other core is busy the feed costs little more than one thread.
// While the worker makes the chunk the caller needs, the caller makes a later one rather than
// wait, so a maker slower than the caller's own work keeps both cores busy. The maker runs on
// both threads, never twice for a chunk, and must only read what nobody changes meanwhile.
// Lines of a report its reader decodes in one go: a few megabytes of texts at most.
constexpr int kReportChunkLines = 16384;

template <class TChunk>
class TChunkFeed {
  public:
    using TMaker = std::function<void(TChunk&)>;

    TChunkFeed(int count, int chunkSize, TMaker maker)
        : Total(std::max(count, 0)),
          ChunkSize(std::max(chunkSize, 1)),
          ChunkCount((Total + ChunkSize - 1) / ChunkSize),
          Maker(std::move(maker)) {
        // Room made now for every chunk that can be about at once, so that nothing is allocated
        // while the lock is held.
        Spare.reserve(kMaxChunks);
        Ready.reserve(kMaxChunks);
        // Only more than one chunk gives a second thread work.
        if (ChunkCount < 2) {
            WorkerGone = true;
            return;
        }
        try {
            Worker = std::thread([this] { Work(); });
        } catch (const std::system_error&) {
            WorkerGone = true;
        }
    }

    ~TChunkFeed() {  // stops the worker and joins it
        {
            std::lock_guard<std::mutex> guard(Lock);
            Stopping = true;
        }
        Changed.notify_all();
        if (Worker.joinable()) Worker.join();
    }
    TChunkFeed(const TChunkFeed&) = delete;
    TChunkFeed& operator=(const TChunkFeed&) = delete;

    // The next chunk, made; null after the last one. Valid until the next call.
    TChunk* Next() {
        if (Handed >= ChunkCount) return nullptr;
        const int index = Handed++;
        {
            std::unique_lock<std::mutex> guard(Lock);
            if (index >= Claimed) {
                Claimed = index + 1;  // not taken by the worker: made here
            } else {
                for (;;) {
                    if (!Ready.empty() && Ready.front().first == index) {
                        // The chunk used last goes back to the worker with its buffers: memory
                        // the process already has, not fresh pages for every chunk.
                        Spare.push_back(std::move(Taken));
                        Taken = std::move(Ready.front().second);
                        Ready.erase(Ready.begin());
                        guard.unlock();
                        Changed.notify_all();
                        return &Taken;
                    }
                    if (WorkerGone) break;  // it stopped without this one (no memory): made here
                    if (Claimed < ChunkCount && Claimed - index <= static_cast<int>(kAhead)) {
                        MakeAhead(guard);
                    } else {
                        Changed.wait(guard);
                    }
                }
            }
        }
        Prepare(Own, index);
        MakeSafely(Own);
        return &Own;
    }

  private:
    // Chunks made ahead and not yet used, at most: the worker stays busy, memory stays small.
    static constexpr std::size_t kAhead = 3;
    // Chunks that can exist at once: those waiting, one in each thread's hands, the one handed
    // out, and the caller's own.
    static constexpr std::size_t kMaxChunks = kAhead + 5;

    // The caller makes the next chunk nobody has taken, outside the lock, and puts it among
    // those waiting, in order. The lock is held on entry and on return.
    void MakeAhead(std::unique_lock<std::mutex>& guard) {
        const int later = Claimed++;
        TChunk chunk;
        if (!Spare.empty()) {
            chunk = std::move(Spare.back());
            Spare.pop_back();
        }
        guard.unlock();
        Prepare(chunk, later);
        MakeSafely(chunk);
        guard.lock();
        Put(later, std::move(chunk));
    }

    // A made chunk among those waiting, in order (both threads make them). The lock is held.
    void Put(int index, TChunk&& chunk) {
        auto at = Ready.begin();
        while (at != Ready.end() && at->first < index) ++at;
        Ready.emplace(at, index, std::move(chunk));
    }

    void Prepare(TChunk& chunk, int index) const {
        chunk.Clear();
        chunk.First = index * ChunkSize + 1;
        chunk.Count = std::min(ChunkSize, Total - index * ChunkSize);
        chunk.Made = 0;
    }

    void MakeSafely(TChunk& chunk) const {
        try {
            Maker(chunk);
        } catch (...) {
            // The items not made are the caller's: it meets the failure again in their place.
        }
    }

    void Work() {
        try {
            TChunk chunk;
            for (;;) {
                int index = 0;
                {
                    std::unique_lock<std::mutex> guard(Lock);
                    Changed.wait(guard, [&] { return Stopping || Ready.size() < kAhead; });
                    if (Stopping || Claimed >= ChunkCount) break;
                    index = Claimed++;
                    if (!Spare.empty()) {
                        chunk = std::move(Spare.back());
                        Spare.pop_back();
                    }
                }
                Prepare(chunk, index);
                MakeSafely(chunk);
                {
                    std::lock_guard<std::mutex> guard(Lock);
                    Put(index, std::move(chunk));
                    chunk = TChunk();
                }
                Changed.notify_all();
            }
        } catch (...) {
            // No memory for another chunk: the caller makes the one taken and the rest.
        }
        {
            std::lock_guard<std::mutex> guard(Lock);
            WorkerGone = true;
        }
        Changed.notify_all();
    }

    const int Total;
    const int ChunkSize;
    const int ChunkCount;
    const TMaker Maker;
    int Handed = 0;  // chunks handed out (the caller's thread only)
    TChunk Own;
    TChunk Taken;

    std::mutex Lock;
    std::condition_variable Changed;
    std::vector<std::pair<int, TChunk>> Ready;  // made ahead, in order
    std::vector<TChunk> Spare;                  // used, for the worker to make again
    int Claimed = 0;                            // chunks taken by either thread
    bool Stopping = false;                      // the caller wants no more
    bool WorkerGone = false;                    // the worker makes no more
    std::thread Worker;
};

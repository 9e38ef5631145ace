#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

// Work on a long run of rows or lines (1..count) split into chunks that are made ahead, on two
// cores, and used in order on the caller's thread. A chunk type has First, Count and Made (the
// items made, from First on: a maker stops at an item it cannot make, and the caller makes that
// item and the rest of the chunk itself, the slow way, meeting any failure in its own place),
// and Clear().
//
// A worker thread makes most chunks; every `callerShare`-th chunk the caller makes itself, as
// using them alone would leave its core idle part of the time. With no worker (it could not
// start, or failed outside an item) the caller makes every chunk still to come. The maker runs
// on both threads, never twice for a chunk, and must only read what nobody changes meanwhile.
template <class TChunk>
class TChunkFeed {
  public:
    using TMaker = std::function<void(TChunk&)>;

    TChunkFeed(int count, int chunkSize, int callerShare, TMaker maker)
        : Total(std::max(count, 0)),
          ChunkSize(std::max(chunkSize, 1)),
          ChunkCount((Total + ChunkSize - 1) / ChunkSize),
          CallerShare(std::max(callerShare, 1)),
          Maker(std::move(maker)) {
        // Only more than one chunk gives a second thread work.
        if (ChunkCount < 2) {
            WorkerEnd = 0;
            return;
        }
        try {
            Worker = std::thread([this] { Work(); });
        } catch (const std::system_error&) {
            WorkerEnd = 0;
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
        if (!CallerMakes(index)) {
            std::unique_lock<std::mutex> guard(Lock);
            // The worker's chunk, unless the worker stopped before it.
            Changed.wait(guard,
                         [&] { return !Ready.empty() || (WorkerEnd >= 0 && WorkerEnd <= index); });
            if (!Ready.empty()) {
                Taken = std::move(Ready.front());
                Ready.pop_front();
                guard.unlock();
                Changed.notify_all();
                return &Taken;
            }
        }
        Prepare(Own, index);
        MakeSafely(Own);
        return &Own;
    }

  private:
    // Chunks made ahead and not yet used, at most: the worker stays busy, memory stays small.
    static constexpr std::size_t kAhead = 3;

    bool CallerMakes(int index) const { return index % CallerShare == 0; }

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
        int index = 0;
        try {
            for (; index < ChunkCount; ++index) {
                if (CallerMakes(index)) continue;
                {
                    std::unique_lock<std::mutex> guard(Lock);
                    Changed.wait(guard, [&] { return Stopping || Ready.size() < kAhead; });
                    if (Stopping) break;
                }
                TChunk chunk;
                Prepare(chunk, index);
                MakeSafely(chunk);
                {
                    std::lock_guard<std::mutex> guard(Lock);
                    Ready.push_back(std::move(chunk));
                }
                Changed.notify_all();
            }
        } catch (...) {
            // No memory for another chunk: the caller makes this one and the rest.
        }
        {
            std::lock_guard<std::mutex> guard(Lock);
            WorkerEnd = index;
        }
        Changed.notify_all();
    }

    const int Total;
    const int ChunkSize;
    const int ChunkCount;
    const int CallerShare;
    const TMaker Maker;
    int Handed = 0;  // chunks handed out (the caller's thread only)
    TChunk Own;
    TChunk Taken;

    std::mutex Lock;
    std::condition_variable Changed;
    std::deque<TChunk> Ready;  // made by the worker, in order
    bool Stopping = false;     // the caller wants no more
    int WorkerEnd = -1;        // the chunk the worker stopped at, or -1 while it works
    std::thread Worker;
};

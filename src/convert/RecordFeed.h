#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The records of a run of goods rows, made ahead of their writing.
struct TRecordChunk {
    int First = 0;  // the first row (1-based)
    int Count = 0;  // rows the chunk covers
    // Rows made, from First on. A maker stops at a row it cannot make; that row and the rest of
    // the chunk are left to the writer, which makes them the slow way and meets the failure there.
    int Made = 0;
    std::string Directory;              // one record per made row
    std::string Receipt;                // one record per made row with a quantity on stock
    std::vector<std::uint8_t> OnStock;  // per made row: whether it has a receipt record
};

// Hands out the chunks of rows 1..rowCount in order. A worker thread makes most of them ahead
// while the caller writes; every third chunk the caller makes itself, as writing alone leaves
// its core idle part of the time. With no worker (it could not start, or failed outside a row),
// the caller makes every chunk still to come. The maker must only read what no one changes
// meanwhile; it is called on both threads, never for the same chunk twice.
class TRecordFeed {
  public:
    using TMaker = std::function<void(TRecordChunk&)>;

    TRecordFeed(int rowCount, int chunkRows, TMaker maker);
    ~TRecordFeed();  // stops and joins the worker
    TRecordFeed(const TRecordFeed&) = delete;
    TRecordFeed& operator=(const TRecordFeed&) = delete;

    // The next chunk, made; null after the last one. Valid until the next call.
    TRecordChunk* Next();

  private:
    bool CallerMakes(int chunk) const { return chunk % 3 == 0; }
    void Prepare(TRecordChunk& chunk, int index) const;
    void MakeSafely(TRecordChunk& chunk) const;
    void Work();

    const int RowCount;
    const int ChunkRows;
    const int ChunkCount;
    const TMaker Maker;
    int Handed = 0;  // chunks handed out (caller only)
    TRecordChunk Own;
    TRecordChunk Taken;

    std::mutex Lock;
    std::condition_variable Changed;
    std::deque<TRecordChunk> Ready;  // made by the worker, in order
    bool Stopping = false;           // the caller wants no more
    int WorkerEnd = -1;              // the chunk index the worker got to when it stopped, or -1
    std::thread Worker;
};

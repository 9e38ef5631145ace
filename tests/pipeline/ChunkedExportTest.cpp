#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "PipelineSupport.h"
#include "convert/GoodsExport.h"
#include "import/ChunkFeed.h"
#include "import/GoodsTable.h"
#include "text/CodePage.h"

namespace {

struct TTestChunk {
    int First = 0;
    int Count = 0;
    int Made = 0;
    std::string Items;

    void Clear() { Items.clear(); }
};

constexpr int kRows = 7000;  // several chunks: made on the caller's thread and on the worker

std::string Padded(std::string text, std::size_t width, bool right = false) {
    if (right) return std::string(width - text.size(), ' ') + text;
    text.resize(width, ' ');
    return text;
}

// Rows with a quantity on stock except every third; `bad` (if any) gets `field` set to `value`.
void Fill(TGoodsTable& goods, int bad = 0, TGoodsField field = gfID,
          const std::string& value = "") {
    goods.OpenTable();
    for (int id = 1; id <= kRows; ++id) {
        goods.AppendRow();
        goods.SetInteger(gfID, id);
        goods.SetText(gfNAME, "Товар " + std::to_string(id));
        goods.SetText(gfKOD, std::to_string(4600000000000LL + id));
        goods.SetText(gfOSTATOK, id % 3 == 0 ? "0" : std::to_string(id % 50) + ".5");
        goods.SetText(gfRPRICE, std::to_string(id) + ".25");
        goods.SetInteger(gfCATEGORY, id % 30 + 1);
        goods.SetInteger(gfNDS, 18);
        if (id == bad) goods.SetText(field, value);
        goods.PostRow();
    }
}

int OnStockUpTo(int row) {
    return row - row / 3;
}

// Every record of both tables, whichever thread made it, holds its own row's values, in order.
TEST(ChunkedExportTest, EveryRowLandsInItsRecords) {
    TGoodsTable goods;
    Fill(goods);
    TTempDir dir;
    TRecordingHost host;
    TExportInputs inputs;
    inputs.Folder = dir.Path().string();
    inputs.WriteID = true;
    ASSERT_EQ(FailureMessage([&] { ExportGoods(inputs, goods, host); }), "");

    const TDbfContents directory = ReadDbf(dir.File(kDirectory));
    const TDbfContents receipt = ReadDbf(dir.File(kReceipt));
    ASSERT_EQ(directory.Records.size(), static_cast<std::size_t>(kRows));
    ASSERT_EQ(receipt.Records.size(), static_cast<std::size_t>(OnStockUpTo(kRows)));
    std::size_t r = 0;
    for (int id = 1; id <= kRows; ++id) {
        SCOPED_TRACE(id);
        const std::string category =
            Padded(AnsiToOemText("Группа ") + std::to_string(id % 30 + 1), 20);
        const std::string kod = Padded(std::to_string(4600000000000LL + id), 15);
        const std::string name = Padded(AnsiToOemText("Товар " + std::to_string(id)), 50);
        const std::string price = Padded(std::to_string(id) + ".25", 10, true);
        const std::vector<std::string>& d = directory.Records[static_cast<std::size_t>(id - 1)];
        ASSERT_EQ(d, (std::vector<std::string>{category, kod, name, Padded(std::to_string(id), 30),
                                               price, price, Padded("18", 5, true)}));
        if (id % 3 == 0) continue;
        ASSERT_EQ(receipt.Records[r++],
                  (std::vector<std::string>{category, kod, name,
                                            Padded(std::to_string(id % 50) + ".50", 10, true),
                                            price, price}));
    }
}

// A refused value stops the export with the message and the record number of a row-by-row walk,
// wherever the row's chunk was made, and the records before it are written.
TEST(ChunkedExportTest, RefusedValueReportsItsOwnRecord) {
    struct TCase {
        const char* Name;
        int Row;
        TGoodsField Field;
        std::string Value;
        std::string Message;
        int DirectoryRecords;
        int ReceiptRecords;
    };
    const std::string tooLong = "SetFieldData: Недопустимый размер данных\rРяд: ";
    const TCase cases[] = {
        {"price, first chunk", 100, gfRPRICE, "123456789", tooLong + "100, Поле: 5", 100,
         OnStockUpTo(99)},
        {"price, worker's chunk", 3000, gfRPRICE, "123456789", tooLong + "3000, Поле: 5", 3000,
         OnStockUpTo(2999)},
        {"VAT, worker's chunk", 5000, gfNDS, "123456", tooLong + "5000, Поле: 7", 5000,
         OnStockUpTo(4999)},
        {"quantity, receipt of a worker's chunk", 4001, gfOSTATOK, "123456789",
         tooLong + std::to_string(OnStockUpTo(4001)) + ", Поле: 4", 4001, OnStockUpTo(4001)},
        {"price, last chunk", kRows, gfRPRICE, "123456789",
         tooLong + std::to_string(kRows) + ", Поле: 5", kRows, OnStockUpTo(kRows - 1)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TGoodsTable goods;
        Fill(goods, c.Row, c.Field, c.Value);
        TTempDir dir;
        TRecordingHost host;
        TExportInputs inputs;
        inputs.Folder = dir.Path().string();
        EXPECT_EQ(FailureMessage([&] { ExportGoods(inputs, goods, host); }), c.Message);
        EXPECT_TRUE(host.Informations.empty());
        // The work files are gone; the tables were moved into place before the rows.
        const TDbfContents directory = ReadDbf(dir.File(kDirectory));
        EXPECT_EQ(directory.RecordCount, static_cast<std::uint32_t>(c.DirectoryRecords));
        EXPECT_EQ(ReadDbf(dir.File(kReceipt)).RecordCount,
                  static_cast<std::uint32_t>(c.ReceiptRecords));
        EXPECT_EQ(directory.Records.at(static_cast<std::size_t>(c.Row - 2))[1],
                  Padded(std::to_string(4600000000000LL + c.Row - 1), 15));
    }
}

// The feed hands every chunk once, in order, also when a maker fails part-way: the rows it did
// not make are left to the caller.
TEST(ChunkFeedTest, HandsEveryChunkInOrder) {
    struct TCase {
        const char* Name;
        int Rows;
        int ChunkRows;
        int FailFrom;  // the maker throws at this row, in any chunk after it too (0: never)
    };
    const TCase cases[] = {
        {"no rows", 0, 4, 0},
        {"one short chunk", 3, 4, 0},
        {"many chunks", 103, 4, 0},
        {"many small chunks", 1000, 1, 0},
        {"failures from the middle on", 103, 4, 50},
        {"failure in every chunk", 40, 4, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TChunkFeed<TTestChunk> feed(c.Rows, c.ChunkRows, [&c](TTestChunk& chunk) {
            for (int i = 0; i < chunk.Count; ++i) {
                const int row = chunk.First + i;
                if (c.FailFrom != 0 && row >= c.FailFrom) throw std::runtime_error("no room");
                chunk.Items += std::to_string(row) + ';';
                ++chunk.Made;
            }
        });
        int expectedFirst = 1;
        while (const TTestChunk* chunk = feed.Next()) {
            ASSERT_EQ(chunk->First, expectedFirst);
            ASSERT_EQ(chunk->Count, std::min(c.ChunkRows, c.Rows - expectedFirst + 1));
            int made = chunk->Count;
            if (c.FailFrom != 0) made = std::clamp(c.FailFrom - chunk->First, 0, chunk->Count);
            ASSERT_EQ(chunk->Made, made);
            std::string rows;
            for (int i = 0; i < made; ++i) rows += std::to_string(chunk->First + i) + ';';
            EXPECT_EQ(chunk->Items, rows);
            expectedFirst += chunk->Count;
        }
        EXPECT_EQ(expectedFirst, c.Rows + 1);
        EXPECT_EQ(feed.Next(), nullptr);
    }
}

// A caller that stops early (a write failed) ends the feed while its worker waits for room or
// is making a chunk; the destructor returns with the worker joined.
TEST(ChunkFeedTest, StoppingEarlyJoinsTheWorker) {
    for (int taken : {0, 1, 2, 5}) {
        SCOPED_TRACE(taken);
        std::atomic<int> made{0};
        {
            TChunkFeed<TTestChunk> feed(1000, 10, [&made](TTestChunk& chunk) {
                chunk.Made = chunk.Count;
                made.fetch_add(1);
            });
            for (int i = 0; i < taken; ++i) ASSERT_NE(feed.Next(), nullptr);
        }
        // Never every chunk: the worker keeps only a few ahead of the caller.
        EXPECT_LT(made.load(), 100);
    }
}

// While the worker makes the chunk the caller needs, the caller makes a later one instead of
// waiting: here the worker's first chunk is held until the caller has made a later one, which
// would never happen if the caller only waited (the waits time out and the test fails).
TEST(ChunkFeedTest, CallerMakesALaterChunkWhileTheWorkerMakesItsOne) {
    std::mutex lock;
    std::condition_variable changed;
    int workerChunk = 0;  // the first chunk the worker made
    int callerLater = 0;  // a chunk the caller made after the worker's first
    bool timedOut = false;
    const std::thread::id caller = std::this_thread::get_id();
    auto waitFor = [&](std::unique_lock<std::mutex>& guard, auto done) {
        if (!changed.wait_for(guard, std::chrono::seconds(10), done)) timedOut = true;
    };
    TChunkFeed<TTestChunk> feed(20, 1, [&](TTestChunk& chunk) {
        std::unique_lock<std::mutex> guard(lock);
        if (std::this_thread::get_id() == caller) {
            // Not before the worker holds a chunk, so the caller cannot make them all alone.
            waitFor(guard, [&] { return workerChunk != 0; });
            if (chunk.First > workerChunk) callerLater = chunk.First;
        } else if (workerChunk == 0) {
            workerChunk = chunk.First;
            changed.notify_all();
            waitFor(guard, [&] { return callerLater != 0; });
        }
        changed.notify_all();
        chunk.Items = std::to_string(chunk.First);
        chunk.Made = chunk.Count;
    });
    for (int row = 1; row <= 20; ++row) {
        const TTestChunk* chunk = feed.Next();
        ASSERT_NE(chunk, nullptr);
        EXPECT_EQ(chunk->Items, std::to_string(row));
    }
    EXPECT_EQ(feed.Next(), nullptr);
    std::lock_guard<std::mutex> guard(lock);
    EXPECT_FALSE(timedOut);
    EXPECT_GT(callerLater, workerChunk);
}

}  // namespace

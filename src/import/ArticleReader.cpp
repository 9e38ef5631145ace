#include "import/ArticleReader.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "import/BarCodeDigits.h"
#include "import/ChunkFeed.h"
#include "import/GoodsTable.h"
#include "text/CodePage.h"
#include "text/NumberText.h"
#include "text/Trim.h"

namespace {

constexpr std::size_t kBarCodeLength = 13;

// Fixed columns of one line layout, 1-based, both ends included.
struct TColumns {
    std::size_t From;
    std::size_t To;
};

struct TArticleLayout {
    std::size_t Length;
    TColumns Code;
    TColumns BarCode;
    TColumns Group;
    TColumns Name;
};

constexpr TArticleLayout kLayouts[] = {
    {84, {1, 13}, {15, 27}, {41, 42}, {45, 84}},
    {87, {1, 13}, {16, 28}, {31, 32}, {49, 87}},
};

constexpr std::size_t kMaxNameColumns = 40;
static_assert(kLayouts[0].Name.To - kLayouts[0].Name.From + 1 <= kMaxNameColumns);
static_assert(kLayouts[1].Name.To - kLayouts[1].Name.From + 1 <= kMaxNameColumns);

std::string_view Cut(std::string_view line, TColumns c) {
    return TrimmedColumns(line, c.From, c.To);
}

// The layout whose length the line has, or null: only such lines are read.
const TArticleLayout* LayoutOf(std::string_view line) {
    for (const TArticleLayout& layout : kLayouts) {
        if (line.size() == layout.Length) return &layout;
    }
    return nullptr;
}

// Advances the counters past a code just made from BarCodeCounter.
void Advance(ImportState& state) {
    if (state.BarCodeCounter == std::numeric_limits<std::int32_t>::max()) {
        state.CounterExhausted = true;
    } else {
        ++state.BarCodeCounter;
    }
    ++state.GeneratedCount;
}

// The prefix, zeros and the counter's digits in 12 digits, and the check digit. A counter that no
// longer fits is the end of the range: cutting it would repeat codes already given.
std::string GenerateEan13(ImportState& state, std::string_view counter) {
    constexpr std::size_t kPayload = kBarCodeLength - 1;
    if (state.Prefix.size() + counter.size() > kPayload)
        throw std::runtime_error(kBarCodeRangeExhausted);
    std::string code = state.Prefix;
    code.append(kPayload - state.Prefix.size() - counter.size(), '0');
    code.append(counter);
    std::optional<char> check = EanCheckDigit(code);
    // The run let only a prefix of digits through; anything else must not become a label.
    if (!check) throw std::runtime_error(kBarCodeRangeExhausted);
    code += *check;
    Advance(state);
    return code;
}

}  // namespace

std::string GenerateBarCode(ImportState& state, std::string_view text) {
    if (!text.empty()) return std::string(text);
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    // A negative counter would put a "-" into the code; past the maximum it cannot advance.
    if (state.CounterExhausted || state.BarCodeCounter < 0 || state.GeneratedCount == kMax) {
        throw std::runtime_error(kBarCodeRangeExhausted);
    }
    char digits[16];
    char* end = std::to_chars(digits, digits + sizeof digits, state.BarCodeCounter).ptr;
    auto digitCount = static_cast<std::size_t>(end - digits);
    if (state.Ean13) return GenerateEan13(state, std::string_view(digits, digitCount));

    // prefix, then zeros while prefix + zeros + number is shorter than 13, then the number; the
    // first 13 characters of that.
    char code[kBarCodeLength];
    std::size_t n = std::min(state.Prefix.size(), kBarCodeLength);
    std::memcpy(code, state.Prefix.data(), n);
    if (state.Prefix.size() + digitCount < kBarCodeLength) {
        std::size_t zeros = kBarCodeLength - state.Prefix.size() - digitCount;
        std::memset(code + n, '0', zeros);
        n += zeros;
    }
    std::size_t take = std::min(digitCount, kBarCodeLength - n);
    std::memcpy(code + n, digits, take);

    Advance(state);
    return std::string(code, kBarCodeLength);
}

namespace {

// What one line gives before the barcode counter and the table see it: the line's part that
// needs no order, made ahead on another core.
struct TArticleLine {
    bool Usable = false;   // of an article layout, with a code above 0
    bool HasName = false;  // the name is not empty
    std::int32_t Id = 0;
    std::int32_t Group = 0;
    std::uint32_t BarCodeAt = 0;  // UTF-8 texts in the chunk's Texts; an empty barcode is generated
    std::uint32_t BarCodeLength = 0;
    std::uint32_t NameAt = 0;
    std::uint32_t NameLength = 0;
};

struct TArticleChunk {
    int First = 0;
    int Count = 0;
    int Made = 0;
    std::vector<TArticleLine> Lines;
    std::string Texts;

    void Clear() {
        Lines.clear();
        Texts.clear();
    }
};

// Decodes `line` into `out`, its texts appended to `texts` (`scratch` is a buffer of the caller).
void DecodeLine(std::string_view line, TArticleLine& out, std::string& texts,
                std::string& scratch) {
    out = TArticleLine();
    const TArticleLayout* layout = LayoutOf(line);
    if (layout == nullptr) return;
    out.Id = ParseIntegerText(Cut(line, layout->Code)).value_or(0);
    if (out.Id <= 0) return;
    out.Usable = true;
    // A barcode of the line is code page 866 text like the name.
    out.BarCodeAt = static_cast<std::uint32_t>(texts.size());
    OemToAnsiText(Cut(line, layout->BarCode), scratch);
    texts += scratch;
    out.BarCodeLength = static_cast<std::uint32_t>(texts.size() - out.BarCodeAt);
    out.Group = ParseIntegerText(Cut(line, layout->Group)).value_or(1);
    std::string_view oemName = Cut(line, layout->Name);
    out.HasName = !oemName.empty();
    out.NameAt = static_cast<std::uint32_t>(texts.size());
    OemToAnsiText(oemName, scratch);
    texts += scratch;
    out.NameLength = static_cast<std::uint32_t>(texts.size() - out.NameAt);
}

}  // namespace

void ReadArticleList(ImportState& state, TGoodsTable& goods) {
    // Room for every line of an article layout's length (a Cyrillic name takes two bytes a
    // column) spares copying the table and the index while they grow; other lines get none.
    std::size_t candidates = 0;
    for (std::size_t i = 0; i < state.Lines.Count(); ++i) {
        if (LayoutOf(state.Lines[i]) != nullptr) ++candidates;
    }
    state.IDList.Reserve(candidates);
    goods.Reserve(candidates, candidates * 2 * kMaxNameColumns);

    // The lines are decoded on both cores; the barcode counter, the ID list and the table take
    // them one by one here, in the file's order.
    const TLineList& lines = state.Lines;
    TChunkFeed<TArticleChunk> feed(
        static_cast<int>(lines.Count()), kReportChunkLines, [&lines](TArticleChunk& chunk) {
            chunk.Lines.resize(static_cast<std::size_t>(chunk.Count));
            chunk.Texts.reserve(static_cast<std::size_t>(chunk.Count) * 64);
            std::string scratch;
            for (int i = 0; i < chunk.Count; ++i, ++chunk.Made) {
                DecodeLine(lines[static_cast<std::size_t>(chunk.First - 1 + i)],
                           chunk.Lines[static_cast<std::size_t>(i)], chunk.Texts, scratch);
            }
        });
    TArticleLine own;
    std::string ownTexts;
    std::string scratch;
    std::string utf8BarCode;
    // The ID list's slots of the lines a little ahead are loaded while these are taken.
    constexpr int kPrefetchAhead = 16;
    while (TArticleChunk* chunk = feed.Next()) {
        for (int i = 0; i < chunk->Count; ++i) {
            if (i + kPrefetchAhead < chunk->Made) {
                const TArticleLine& ahead =
                    chunk->Lines[static_cast<std::size_t>(i + kPrefetchAhead)];
                if (ahead.Usable) state.IDList.Prefetch(ahead.Id);
            }
            const TArticleLine* line = nullptr;
            const std::string* texts = &chunk->Texts;
            if (i < chunk->Made) {
                line = &chunk->Lines[static_cast<std::size_t>(i)];
            } else {
                ownTexts.clear();
                DecodeLine(lines[static_cast<std::size_t>(chunk->First - 1 + i)], own, ownTexts,
                           scratch);
                line = &own;
                texts = &ownTexts;
            }
            if (!line->Usable) continue;
            // Only an empty barcode is generated (GenerateBarCode would return any other
            // unchanged), so the text stays in its reused buffer.
            utf8BarCode.assign(*texts, line->BarCodeAt, line->BarCodeLength);
            const bool generated = utf8BarCode.empty();
            if (generated) utf8BarCode = GenerateBarCode(state, {});
            // The barcode made above stays used and counted even when the line goes.
            if (!line->HasName) continue;

            state.IDList.Add(line->Id);
            goods.AppendRow();
            goods.SetInteger(gfID, line->Id);
            goods.SetText(gfNAME, std::string_view(*texts).substr(line->NameAt, line->NameLength));
            goods.SetText(gfKOD, utf8BarCode);
            goods.SetInteger(gfCATEGORY, line->Group);
            if (state.NdsValue > 0) goods.SetInteger(gfNDS, state.NdsValue);
            goods.PostRow();
            if (generated && state.Record) state.Record->Generated.push_back(utf8BarCode);
        }
    }
}

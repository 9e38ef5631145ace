#include "import/ArticleReader.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>

#include "import/BarCodeDigits.h"
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

void ReadArticleList(ImportState& state, TGoodsTable& goods) {
    // Room for every line of an article layout's length (a Cyrillic name takes two bytes a
    // column) spares copying the table and the index while they grow; other lines get none.
    std::size_t candidates = 0;
    for (std::size_t i = 0; i < state.Lines.Count(); ++i) {
        if (LayoutOf(state.Lines[i]) != nullptr) ++candidates;
    }
    state.IDList.Reserve(candidates);
    goods.Reserve(candidates, candidates * 2 * kMaxNameColumns);

    std::string utf8Name;
    std::string utf8BarCode;
    for (std::size_t i = 0; i < state.Lines.Count(); ++i) {
        std::string_view line = state.Lines[i];
        const TArticleLayout* layout = LayoutOf(line);
        if (layout == nullptr) continue;

        std::int32_t id = ParseIntegerText(Cut(line, layout->Code)).value_or(0);
        if (id <= 0) continue;
        // A barcode of the line is code page 866 text like the name; only an empty one is
        // generated (GenerateBarCode would return any other unchanged), so the converted text
        // stays in its reused buffer.
        OemToAnsiText(Cut(line, layout->BarCode), utf8BarCode);
        const bool generated = utf8BarCode.empty();
        if (generated) utf8BarCode = GenerateBarCode(state, {});
        std::int32_t group = ParseIntegerText(Cut(line, layout->Group)).value_or(1);
        std::string_view oemName = Cut(line, layout->Name);
        // The barcode made above stays used and counted even when the line goes.
        if (oemName.empty()) continue;
        OemToAnsiText(oemName, utf8Name);

        state.IDList.Add(id);
        goods.AppendRow();
        goods.SetInteger(gfID, id);
        goods.SetText(gfNAME, utf8Name);
        goods.SetText(gfKOD, utf8BarCode);
        goods.SetInteger(gfCATEGORY, group);
        if (state.NdsValue > 0) goods.SetInteger(gfNDS, state.NdsValue);
        goods.PostRow();
        if (generated && state.Record) state.Record->Generated.push_back(utf8BarCode);
    }
}

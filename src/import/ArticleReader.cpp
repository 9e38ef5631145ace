#include "import/ArticleReader.h"

#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <stdexcept>

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
    return Trim(line.substr(c.From - 1, c.To - c.From + 1));
}

// The UTF-8 form of every code page 866 byte, taken once from OemToAnsiText so that converting a
// name needs no allocation: the conversion is character for character.
struct TOemTable {
    std::array<std::array<char, 4>, 256> Bytes{};
    std::array<std::uint8_t, 256> Length{};

    TOemTable() {
        for (int b = 0; b < 256; ++b) {
            char c = static_cast<char>(b);
            std::string utf8 = OemToAnsiText(std::string_view(&c, 1));
            if (utf8.empty() || utf8.size() > 4) {
                throw std::logic_error("OemToAnsiText must give one character per byte");
            }
            std::memcpy(Bytes[static_cast<std::size_t>(b)].data(), utf8.data(), utf8.size());
            Length[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(utf8.size());
        }
    }

    // Writes the UTF-8 form of `oem` to `out`, which holds 4 bytes per character; returns the
    // length written. Four bytes are copied whatever the character's length: no branch, no call.
    std::size_t Convert(std::string_view oem, char* out) const {
        std::size_t n = 0;
        for (char c : oem) {
            auto b = static_cast<unsigned char>(c);
            std::memcpy(out + n, Bytes[b].data(), 4);
            n += Length[b];
        }
        return n;
    }
};

const TOemTable& OemTable() {
    static const TOemTable table;
    return table;
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

    if (state.BarCodeCounter == kMax) {
        state.CounterExhausted = true;
    } else {
        ++state.BarCodeCounter;
    }
    ++state.GeneratedCount;
    return std::string(code, kBarCodeLength);
}

void ReadArticleList(ImportState& state, TGoodsTable& goods) {
    const TOemTable& oem = OemTable();
    char name[4 * kMaxNameColumns];
    // Every line may become a row: room for all of them (a Cyrillic name takes two bytes a
    // column) spares copying the table and the index while they grow.
    state.IDList.Reserve(state.Lines.Count());
    goods.Reserve(state.Lines.Count(), state.Lines.Count() * 2 * kMaxNameColumns);
    for (std::size_t i = 0; i < state.Lines.Count(); ++i) {
        std::string_view line = state.Lines[i];
        const TArticleLayout* layout = nullptr;
        for (const TArticleLayout& l : kLayouts) {
            if (line.size() == l.Length) layout = &l;
        }
        if (layout == nullptr) continue;

        std::int32_t id = ParseIntegerText(Cut(line, layout->Code)).value_or(0);
        if (id <= 0) continue;
        std::string barCode = GenerateBarCode(state, Cut(line, layout->BarCode));
        std::int32_t group = ParseIntegerText(Cut(line, layout->Group)).value_or(1);
        std::string_view oemName = Cut(line, layout->Name);
        // The barcode made above stays used and counted even when the line goes.
        if (oemName.empty()) continue;
        std::string_view utf8Name(name, oem.Convert(oemName, name));

        state.IDList.Add(id);
        goods.AppendRow();
        goods.SetInteger(gfID, id);
        goods.SetText(gfNAME, utf8Name);
        goods.SetText(gfKOD, barCode);
        goods.SetInteger(gfCATEGORY, group);
        if (state.NdsValue > 0) goods.SetInteger(gfNDS, state.NdsValue);
        goods.PostRow();
    }
}

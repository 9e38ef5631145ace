#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

// The columns of the goods table, in field order.
enum TGoodsField : std::uint8_t { gfID, gfNAME, gfKOD, gfOSTATOK, gfRPRICE, gfCATEGORY, gfNDS };
inline constexpr int kGoodsFieldCount = 7;

// What a column holds. It decides how a value is stored, read and written as text, and how a view
// shows and edits it: money shows in the currency format and is edited as a plain number.
enum TGoodsKind : std::uint8_t { gkInteger, gkText, gkFloat, gkMoney };

enum TGoodsAlign : std::uint8_t { gaLeft, gaRight };

// Everything known of one column; views, the table and its messages read it from here.
struct TGoodsColumn {
    TGoodsField Field;
    const char* Name;  // view titles and messages
    TGoodsKind Kind;
    int Width;          // characters a text column keeps; 0 for the number columns
    int ViewChars;      // characters a view makes room for (numbers as data-aware tables size them)
    TGoodsAlign Align;  // in a view's cells
};

inline constexpr TGoodsColumn kGoodsColumns[] = {
    {gfID, "ID", gkInteger, 0, 11, gaRight},
    {gfNAME, "NAME", gkText, 50, 50, gaLeft},
    {gfKOD, "KOD", gkText, 20, 20, gaLeft},
    {gfOSTATOK, "OSTATOK", gkFloat, 0, 10, gaRight},
    {gfRPRICE, "RPRICE", gkMoney, 0, 10, gaRight},
    {gfCATEGORY, "CATEGORY", gkInteger, 0, 11, gaRight},
    {gfNDS, "NDS", gkInteger, 0, 11, gaRight},
};

constexpr const TGoodsColumn& GoodsColumn(TGoodsField field) {
    return kGoodsColumns[field];
}

// The column's name ("ID", "NAME", ...).
constexpr const char* GoodsFieldName(TGoodsField field) {
    return GoodsColumn(field).Name;
}

static_assert(std::size(kGoodsColumns) == kGoodsFieldCount, "one entry per goods column");
static_assert(
    [] {
        for (int i = 0; i < kGoodsFieldCount; ++i) {
            const TGoodsColumn& c = kGoodsColumns[i];
            if (c.Field != i || std::string_view(c.Name).empty()) return false;
            // A text column keeps a width and shows all of it; a number has none to cut to.
            if ((c.Kind == gkText) != (c.Width > 0)) return false;
            if (c.Kind == gkText && c.ViewChars != c.Width) return false;
        }
        return true;
    }(),
    "each entry sits at its field's place; a text column shows its whole width");

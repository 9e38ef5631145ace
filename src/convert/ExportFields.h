#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

#include "dbf/DBF.h"
#include "import/GoodsColumns.h"

// The fields of the two tables the goods export writes, shared by the export and by the checks
// that tell ahead which values the tables cannot hold.

// The group text in both tables is this prefix followed by the goods row's CATEGORY.
inline constexpr const char* kCategoryPrefix = "Группа ";

struct TFieldLayout {
    const char* Name;
    TFldType Type;
    std::uint8_t Size;
    std::uint8_t Precision;
};

// Field numbers as SetFieldData counts them (from 1), in the order of the layouts below.
enum TDirectoryField : std::int32_t {
    dfCATEGORY = 1,
    dfKOD,
    dfNAME,
    dfNAME2,
    dfZPRICE,
    dfRPRICE,
    dfNDS
};
enum TReceiptField : std::int32_t { rfCATEGORY = 1, rfID, rfNAME, rfKOLVO, rfZPRICE, rfRPRICE };

inline constexpr TFieldLayout kDirectoryFields[] = {
    {"CATEGORY", fldChar, 20, 0}, {"KOD", fldChar, 15, 0},       {"NAME", fldChar, 50, 0},
    {"NAME2", fldChar, 30, 0},    {"ZPRICE", fldNumeric, 10, 2}, {"RPRICE", fldNumeric, 10, 2},
    {"NDS", fldNumeric, 5, 0},
};

inline constexpr TFieldLayout kReceiptFields[] = {
    {"CATEGORY", fldChar, 20, 0}, {"ID", fldChar, 15, 0},        {"NAME", fldChar, 50, 0},
    {"KOLVO", fldNumeric, 10, 2}, {"ZPRICE", fldNumeric, 10, 2}, {"RPRICE", fldNumeric, 10, 2},
};

// The layout entry that field number `number` addresses.
template <std::size_t N>
constexpr const TFieldLayout& Field(const TFieldLayout (&fields)[N], std::int32_t number) {
    return fields[number - 1];
}

// Whether `number` addresses the field called `name`: a reordered layout fails to build instead
// of moving values into the wrong fields.
template <std::size_t N>
constexpr bool Names(const TFieldLayout (&fields)[N], std::int32_t number, std::string_view name) {
    return number >= 1 && static_cast<std::size_t>(number) <= N &&
           Field(fields, number).Name == name;
}

static_assert(std::size(kDirectoryFields) == dfNDS);
static_assert(Names(kDirectoryFields, dfCATEGORY, "CATEGORY"));
static_assert(Names(kDirectoryFields, dfKOD, "KOD"));
static_assert(Names(kDirectoryFields, dfNAME, "NAME"));
static_assert(Names(kDirectoryFields, dfNAME2, "NAME2"));
static_assert(Names(kDirectoryFields, dfZPRICE, "ZPRICE"));
static_assert(Names(kDirectoryFields, dfRPRICE, "RPRICE"));
static_assert(Names(kDirectoryFields, dfNDS, "NDS"));

static_assert(std::size(kReceiptFields) == rfRPRICE);
static_assert(Names(kReceiptFields, rfCATEGORY, "CATEGORY"));
static_assert(Names(kReceiptFields, rfID, "ID"));
static_assert(Names(kReceiptFields, rfNAME, "NAME"));
static_assert(Names(kReceiptFields, rfKOLVO, "KOLVO"));
static_assert(Names(kReceiptFields, rfZPRICE, "ZPRICE"));
static_assert(Names(kReceiptFields, rfRPRICE, "RPRICE"));

// Every name the goods table keeps fits both tables (one byte a character in code page 866).
static_assert(Field(kDirectoryFields, dfNAME).Size >= GoodsColumn(gfNAME).Width);
static_assert(Field(kReceiptFields, rfNAME).Size >= GoodsColumn(gfNAME).Width);

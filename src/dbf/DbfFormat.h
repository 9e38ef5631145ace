#pragma once

#include <cstddef>
#include <cstdint>

// Byte layout of a dBASE III table without memo: a 32-byte header, one 32-byte descriptor per
// field, a 0x0D terminator, fixed-length records, and 0x1A after the last record.
namespace DbfFormat {

constexpr std::size_t HeaderSize = 32;
constexpr std::size_t DescriptorSize = 32;
constexpr std::size_t MaxRecordLength = 4000;  // the record buffer
constexpr std::size_t MaxFieldLength = 255;
constexpr std::size_t FieldNameLength = 10;  // the 11th name byte is always zero

constexpr std::uint8_t VersionDbase3 = 0x03;
constexpr std::uint8_t HeaderTerminator = 0x0D;
constexpr std::uint8_t EndOfFile = 0x1A;
constexpr std::uint8_t RecordNotDeleted = 0x20;
constexpr std::uint8_t Blank = 0x20;

// Language-driver bytes of the code pages.
constexpr std::uint8_t LanguageAnsi = 0x57;
constexpr std::uint8_t LanguageOem866 = 0x26;
constexpr std::uint8_t LanguageNone = 0x00;

// Offsets inside the header.
constexpr std::size_t OffsetVersion = 0;
constexpr std::size_t OffsetDate = 1;  // year - 1900, month, day
constexpr std::size_t DateSize = 3;
constexpr std::size_t OffsetRecordCount = 4;
constexpr std::size_t OffsetHeaderLength = 8;
constexpr std::size_t OffsetRecordLength = 10;
constexpr std::size_t OffsetLanguage = 29;

// Header length of a table with `fields` fields: header, descriptors and the terminator.
constexpr std::size_t HeaderLengthFor(std::size_t fields) {
    return HeaderSize + DescriptorSize * fields + 1;
}

// A day of the Gregorian calendar that a date field (yyyymmdd) can hold.
constexpr bool IsValidDate(int year, int month, int day) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

}  // namespace DbfFormat

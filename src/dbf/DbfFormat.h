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
constexpr std::size_t OffsetRecordCount = 4;
constexpr std::size_t OffsetHeaderLength = 8;
constexpr std::size_t OffsetRecordLength = 10;
constexpr std::size_t OffsetLanguage = 29;

// Header length of a table with `fields` fields: header, descriptors and the terminator.
constexpr std::size_t HeaderLengthFor(std::size_t fields) {
    return HeaderSize + DescriptorSize * fields + 1;
}

}  // namespace DbfFormat

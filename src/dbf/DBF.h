#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "dbf/DbfFormat.h"
#include "text/FileSystem.h"

// Every refusal and failed read or write of TDBF.
class ED : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The table file could not be created: "Cannot create file "<full path>". <system error text>".
class EFCreateError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
    // The message for `path` (made absolute) and the system's text for `error`.
    EFCreateError(const std::string& path, int error);
};

enum TFldType : std::uint8_t { fldLogical, fldDate, fldFloat, fldNumeric, fldChar };

enum TDbfCodePage : std::uint8_t { cpANSI, cpOEM, cpNone };

// One field descriptor exactly as it lies in the file.
struct TDbfFieldDesc {
    char Name[11];  // upper case, zero-filled
    char Type;      // 'C', 'N', 'F', 'L', 'D' (others from foreign files act like 'C')
    std::uint8_t Reserved1[4];
    std::uint8_t Length;
    std::uint8_t Decimals;
    std::uint8_t Reserved2[14];
};
static_assert(sizeof(TDbfFieldDesc) == DbfFormat::DescriptorSize);

// Blanks before, respectively after, Text until it is at least Width long; never cuts.
std::string PadLeft(const std::string& Text, std::size_t Width);
std::string PadRight(const std::string& Text, std::size_t Width);

// The record geometry of an open table, apart from the table: records can be made with it
// elsewhere (on another thread) and handed to TDBF::SetRecord.
class TDbfRecordLayout {
  public:
    std::size_t Length() const { return Blank.size(); }
    // A blank record, Length() bytes: what Append makes current.
    const char* BlankRecord() const { return Blank.data(); }
    // Encodes Value into field FieldNo (from 1) of `record` exactly as TDBF::SetFieldData does;
    // false, with `record` unchanged, where SetFieldData would refuse the value or the number.
    bool Encode(std::int32_t FieldNo, std::string_view Value, char* record) const;
    // Where field FieldNo (from 1) lies in a record, and whether it takes a value exactly as
    // field `otherNo` of `other` does (same type, length and decimals), so its bytes can be copied.
    std::size_t Offset(std::int32_t FieldNo) const { return Offsets.at(FieldNo - 1); }
    std::size_t Width(std::int32_t FieldNo) const { return Fields.at(FieldNo - 1).Length; }
    bool SameKind(std::int32_t FieldNo, const TDbfRecordLayout& other, std::int32_t otherNo) const;

  private:
    friend class TDBF;
    std::vector<TDbfFieldDesc> Fields;
    std::vector<std::uint32_t> Offsets;
    std::vector<char> Blank;
};

// Writer of one dBASE III table file. Describe the fields, CreateTable, then per record Append,
// SetFieldData per field and Post; every Append and Post leaves a valid file on disk.
// Failures raise ED (CreateTable's file creation raises EFCreateError).
class TDBF {
  public:
    TDBF();
    ~TDBF();  // closes the file of a table that is still Active
    TDBF(const TDBF&) = delete;
    TDBF& operator=(const TDBF&) = delete;

    // Appends one field description; refused while Active, for FldSize 0, and for a decimal count
    // above FldSize - 2 of an F or N field.
    void AddFieldDefs(const std::string& FldName, TFldType FldType, std::uint8_t FldSize,
                      std::uint8_t FldPrecision);

    // Replaces TableName with an empty table of the described fields and leaves it open as
    // Exclusive says, with the descriptions read back from the file.
    void CreateTable();
    // CreateTable under WorkName, a name beside TableName that no table has, so that an older
    // TableName stays as it is until MoveOverTableName replaces it. Creation failures name
    // TableName. A work file left behind by an earlier run is replaced.
    void CreateTableAs(const std::string& WorkName);
    // Moves the table made by CreateTableAs over TableName in one step and opens it there again
    // as Exclusive says. Refused (EFCreateError naming TableName) while another program holds the
    // older TableName; the table is then closed and its work file left where it is.
    void MoveOverTableName();
    // The work file of CreateTableAs not yet moved over TableName; empty otherwise.
    const std::string& WorkName() const { return FWorkName; }
    // Puts everything written so far on the disk; failures raise ED with the system's text.
    void Flush();
    void Open();
    void Close();  // an unposted change is lost
    void Reopen();

    void Append();  // writes a blank record (and an unposted change first) and makes it current
    void Last();
    void Post();  // writes the current record

    // Encodes Value (bytes in code page 866) into field FieldNo (from 1) of the current record.
    // C text is left-aligned; N and F numbers are right-aligned with the field's decimals and
    // always a "." (rounded half away from zero on the shortest decimal form of the parsed
    // value, i.e. on the digits typed); D takes dd.mm.yy; L takes yes/true/no/false. A value
    // that does not fit the field, even once formatted, is refused: nothing is ever cut.
    void SetFieldData(std::int32_t FieldNo, const std::string& Value);
    void SetFieldData(std::int32_t FieldNo, std::string_view Value);  // the same, for any bytes
    void SetFieldData(std::int32_t FieldNo, const char* Value) {
        SetFieldData(FieldNo, std::string_view(Value));
    }
    // The current record's bytes at once (RecordLayout().Length() of them), as Append and a row of
    // accepted SetFieldData calls would leave them; written by the next Post.
    void SetRecord(const char* Record);
    // The geometry of the open table's records (ED while no table is open).
    TDbfRecordLayout RecordLayout() const;

    const std::string& TableName() const { return FTableName; }
    void SetTableName(const std::string& Value);  // only a ".dbf" name, only while closed
    bool Exclusive() const { return FExclusive; }
    void SetExclusive(bool Value);
    // The code page decoded when the header was last read; a write goes to the file at once.
    TDbfCodePage CodePage() const { return FCodePage; }
    void SetCodePage(TDbfCodePage Value);

    bool Active() const { return FActive; }
    bool Modified() const { return FModified; }
    std::int32_t RecNo() const { return FRecNo; }
    std::int32_t FieldCount() const { return FFieldCount; }
    std::int32_t RecordCount() const { return FRecordCount; }

  private:
    void ReadHeader();
    void WriteHeader();
    void ReadRecord();
    void WriteRecord();
    void SetDbfDate(const TLocalDate& Date);

    void BuildRecordLayout();  // field offsets and the blank record, from FFieldDefs and FHeader
    bool HasLayout() const { return FActive && FFieldCount > 0; }
    std::size_t HeaderLength() const;
    std::size_t RecordLength() const;
    std::uint64_t RecordOffset(std::int32_t recNo) const;
    void SetHeaderRecordCount(std::int32_t count);
    [[noreturn]] void RaiseSizeError(std::int32_t FieldNo) const;
    [[noreturn]] void RaiseDataError(std::int32_t FieldNo) const;

    const std::string& FilePath() const { return FWorkName.empty() ? FTableName : FWorkName; }

    std::string FTableName;
    std::string FWorkName;
    bool FExclusive = false;
    bool FActive = false;
    TDbfCodePage FCodePage = cpNone;
    bool FModified = false;
    std::int32_t FRecNo = 0;
    std::int32_t FFieldCount = 0;
    std::int32_t FRecordCount = 0;
    TFile FStream;
    std::array<std::uint8_t, DbfFormat::HeaderSize> FHeader{};
    std::vector<TDbfFieldDesc> FFieldDefs;
    std::vector<std::uint32_t> FFieldOffsets;  // of each field inside the record
    // A blank record followed by 0x1A: what Append writes, and the new current record.
    std::vector<char> FBlankRecord;
    std::array<char, DbfFormat::MaxRecordLength> FRecordBuffer{};
};

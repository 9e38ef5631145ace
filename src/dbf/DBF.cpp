#include "dbf/DBF.h"

#include <cstdio>
#include <cstring>
#include <limits>

#include "text/Ascii.h"

namespace {

using namespace DbfFormat;

constexpr const char* kAddFieldDefsActive =
    "AddFieldDefs: В открытом файле нельзя изменять описания полей";
constexpr const char* kAddFieldDefsSize = "AddFieldDefs: Недопустимый размер поля";
constexpr const char* kAddFieldDefsPrecision = "AddFieldDefs: Недопустимое значение FldPrecision";
constexpr const char* kCreateTableActive = "CreateTable: Необходимо закрыть открытый файл";
constexpr const char* kCreateTableNoName = "CreateTable: Необходимо указать имя файла";
constexpr const char* kCreateTableNoFields = "CreateTable: Не заданы описания полей";
constexpr const char* kCreateTableTooLong = "CreateTable: Недопустимая длина записи";
constexpr const char* kCreateTableEof = "CreateTable: Ошибка записи EOF";
constexpr const char* kWriteHeader = "WriteHeader: Ошибка сохранения заголовка файла";
constexpr const char* kOpenActive = "Open: Необходимо закрыть открытый файл";
constexpr const char* kOpenNotFound = "Open: Не найден файл ";
constexpr const char* kOpenInUse1 = "Файл ";
constexpr const char* kOpenInUse2 =
    " невозможно открыть в монопольном\rрежиме, т.к. он уже используется другой программой";
constexpr const char* kReadHeader = "ReadHeader: Ошибка чтения заголовка файла";
constexpr const char* kReadRecord = "ReadRecord: Ошибка чтения записи";
constexpr const char* kWriteRecord = "WriteRecord: Ошибка сохранения записи";
constexpr const char* kSetDbfDateValue = "SetDbfDate: Неверное значение даты";
constexpr const char* kSetDbfDateWrite = "SetDbfDate: Ошибка записи в заголовок файла";
constexpr const char* kAppend = "Append: Ошибка сохранения записи";
constexpr const char* kLastEmpty = "Last: В файле нет записей";
constexpr const char* kCloseNotOpen = "Close: Файл не открыт";
constexpr const char* kCloseCut = "Close: Ошибка сохранения файла";
constexpr const char* kFlush = "Flush: Ошибка записи файла на диск";
constexpr const char* kFlushNotOpen = "Flush: Файл не открыт";
constexpr const char* kMoveNotCreated = "MoveOverTableName: Таблица не создана под рабочим именем";
constexpr const char* kTableNameActive =
    "TableName: Это свойство нельзя изменять, если файл открыт";
constexpr const char* kTableNameType = "TableName: Недопустимый тип файла";
constexpr const char* kExclusiveActive =
    "Exclusive: Это свойство нельзя изменять, если файл открыт";
constexpr const char* kCodePageWrite = "CodePage: Ошибка записи в заголовок файла";

std::uint16_t GetU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t GetU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void PutU16(std::uint8_t* p, std::size_t value) {
    p[0] = static_cast<std::uint8_t>(value & 0xFF);
    p[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void PutU32(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

// The header's date of last update: year - 1900 (kept modulo 256), month, day.
void PutDate(std::uint8_t* p, const TLocalDate& date) {
    p[0] = static_cast<std::uint8_t>((date.Year - 1900) & 0xFF);
    p[1] = static_cast<std::uint8_t>(date.Month);
    p[2] = static_cast<std::uint8_t>(date.Day);
}

TLocalDate GetDate(const std::uint8_t* p) {
    return {1900 + p[0], p[1], p[2]};
}

char TypeLetter(TFldType type) {
    switch (type) {
        case fldLogical:
            return 'L';
        case fldDate:
            return 'D';
        case fldFloat:
            return 'F';
        case fldNumeric:
            return 'N';
        case fldChar:
            return 'C';
    }
    return 'C';
}

std::uint8_t LanguageByte(TDbfCodePage codePage) {
    switch (codePage) {
        case cpANSI:
            return LanguageAnsi;
        case cpOEM:
            return LanguageOem866;
        case cpNone:
            return LanguageNone;
    }
    return LanguageNone;
}

TDbfCodePage DecodeLanguageByte(std::uint8_t value) {
    if (value == LanguageOem866) return cpOEM;
    if (value == LanguageAnsi) return cpANSI;
    return cpNone;
}

}  // namespace

std::string PadLeft(const std::string& Text, std::size_t Width) {
    if (Text.size() >= Width) return Text;
    return std::string(Width - Text.size(), ' ') + Text;
}

std::string PadRight(const std::string& Text, std::size_t Width) {
    if (Text.size() >= Width) return Text;
    return Text + std::string(Width - Text.size(), ' ');
}

TDBF::TDBF() = default;

TDBF::~TDBF() {
    // Nothing is written here: as with Close, an unposted change is lost. The file is still cut
    // to its exact size; a destructor cannot raise, so a failure there is at least said.
    if (FActive && FStream.Close() != 0) {
        std::fprintf(stderr, "%s %s\n", kCloseCut, FTableName.c_str());
    }
}

void TDBF::AddFieldDefs(const std::string& FldName, TFldType FldType, std::uint8_t FldSize,
                        std::uint8_t FldPrecision) {
    if (FActive) throw ED(kAddFieldDefsActive);
    TDbfFieldDesc desc{};
    for (std::size_t i = 0; i < FldName.size() && i < FieldNameLength; ++i) {
        desc.Name[i] = AsciiUpper(FldName[i]);
    }
    desc.Type = TypeLetter(FldType);
    if (FldSize == 0) throw ED(kAddFieldDefsSize);
    desc.Length = FldType == fldLogical ? 1 : FldType == fldDate ? 8 : FldSize;
    if (FldType == fldFloat || FldType == fldNumeric) {
        if (FldPrecision > 0 && FldPrecision + 2 > FldSize) throw ED(kAddFieldDefsPrecision);
        desc.Decimals = FldPrecision;
    }
    FFieldDefs.push_back(desc);
}

EFCreateError::EFCreateError(const std::string& path, int error)
    : std::runtime_error("Cannot create file \"" + ExpandFileName(path) + "\". " +
                         SysErrorMessage(error)) {}

void TDBF::CreateTable() {
    CreateTableAs(std::string());
}

void TDBF::CreateTableAs(const std::string& WorkName) {
    if (FActive) throw ED(kCreateTableActive);
    if (FTableName.empty()) throw ED(kCreateTableNoName);
    if (FFieldDefs.empty()) throw ED(kCreateTableNoFields);
    std::size_t recordLength = 1;
    for (const TDbfFieldDesc& desc : FFieldDefs) recordLength += desc.Length;
    // Also keeps the header length inside its 16 bits: every field is at least 1 byte long.
    if (recordLength > MaxRecordLength) throw ED(kCreateTableTooLong);

    FWorkName = WorkName;
    // A failed deletion is not reported here: Create then says why the file cannot be replaced.
    if (FileExists(FilePath())) DeleteFileAt(FilePath());
    int error = FStream.Create(FilePath());
    if (error != 0) {
        FWorkName.clear();
        throw EFCreateError(FTableName, error);
    }
    FActive = true;
    FHeader.fill(0);
    FHeader[OffsetVersion] = VersionDbase3;
    std::size_t headerLength = HeaderLengthFor(FFieldDefs.size());
    PutU16(&FHeader[OffsetHeaderLength], headerLength);
    PutU16(&FHeader[OffsetRecordLength], recordLength);
    FFieldCount = static_cast<std::int32_t>(FFieldDefs.size());
    FRecordCount = 0;
    FRecNo = 0;
    BuildRecordLayout();
    WriteHeader();
    const std::uint8_t eof = EndOfFile;
    if (!FStream.WriteAt(headerLength, &eof, 1)) throw ED(kCreateTableEof);
    Reopen();
}

void TDBF::WriteHeader() {
    PutDate(&FHeader[OffsetDate], LocalDate());
    // Header, descriptors and terminator go out in one write.
    std::vector<std::uint8_t> block(HeaderLengthFor(FFieldDefs.size()));
    std::memcpy(block.data(), FHeader.data(), HeaderSize);
    for (std::size_t i = 0; i < FFieldDefs.size(); ++i) {
        std::memcpy(&block[HeaderSize + DescriptorSize * i], &FFieldDefs[i], DescriptorSize);
    }
    block.back() = HeaderTerminator;
    if (!FStream.WriteAt(0, block.data(), block.size())) throw ED(kWriteHeader);
}

void TDBF::MoveOverTableName() {
    if (!FActive || FWorkName.empty()) throw ED(kMoveNotCreated);
    Close();
    if (const int error = MoveFileReplacing(FWorkName, FTableName); error != 0) {
        throw EFCreateError(FTableName, error);
    }
    FWorkName.clear();
    Open();
}

void TDBF::Flush() {
    if (!FActive) throw ED(kFlushNotOpen);
    if (const int error = FStream.Flush(); error != 0) {
        throw ED(std::string(kFlush) + " \"" + ExpandFileName(FTableName) + "\". " +
                 SysErrorMessage(error));
    }
}

void TDBF::Open() {
    if (FActive) throw ED(kOpenActive);
    if (!FileExists(FilePath())) throw ED(kOpenNotFound + FilePath());
    if (FStream.Open(FilePath(), FExclusive) != 0) {
        throw ED(kOpenInUse1 + ExtractFileName(FTableName) + kOpenInUse2);
    }
    FActive = true;
    // Records are added at the end: past a small size they become stores into a mapping.
    FStream.GrowAhead();
    ReadHeader();
    if (FRecNo == 1) {
        ReadRecord();
        FModified = false;
    }
}

void TDBF::ReadHeader() {
    // Everything is checked before anything is taken over, so a foreign or damaged file leaves
    // no half-read state, and no later read or write can leave the bounds it declares.
    std::array<std::uint8_t, HeaderSize> header{};
    if (!FStream.ReadAt(0, header.data(), header.size())) throw ED(kReadHeader);
    std::size_t headerLength = GetU16(&header[OffsetHeaderLength]);
    std::size_t recordLength = GetU16(&header[OffsetRecordLength]);
    std::uint32_t recordCount = GetU32(&header[OffsetRecordCount]);
    if (headerLength < HeaderLengthFor(1) || (headerLength - 1) % DescriptorSize != 0 ||
        recordLength < 2 || recordLength > MaxRecordLength ||
        recordCount > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
        throw ED(kReadHeader);
    }
    std::size_t fieldCount = headerLength / DescriptorSize - 1;

    // The descriptors and the terminator byte after them (not looked at, but it must exist).
    std::vector<std::uint8_t> block(headerLength - HeaderSize);
    if (!FStream.ReadAt(HeaderSize, block.data(), block.size())) throw ED(kReadHeader);
    std::vector<TDbfFieldDesc> defs(fieldCount);
    std::size_t sum = 1;
    for (std::size_t i = 0; i < fieldCount; ++i) {
        std::memcpy(&defs[i], &block[DescriptorSize * i], DescriptorSize);
        if (defs[i].Length == 0) throw ED(kReadHeader);
        sum += defs[i].Length;
    }
    if (sum != recordLength) throw ED(kReadHeader);
    if (recordCount > 0) {
        // The last byte of the last record must exist.
        std::uint8_t last = 0;
        std::uint64_t end = headerLength + std::uint64_t{recordCount} * recordLength;
        if (!FStream.ReadAt(end - 1, &last, 1)) throw ED(kReadHeader);
    }

    FHeader = header;
    FFieldCount = static_cast<std::int32_t>(fieldCount);
    FRecordCount = static_cast<std::int32_t>(recordCount);
    FRecNo = recordCount > 0 ? 1 : 0;
    FCodePage = DecodeLanguageByte(header[OffsetLanguage]);
    FFieldDefs = std::move(defs);
    BuildRecordLayout();
}

void TDBF::ReadRecord() {
    if (!HasLayout() || FRecNo < 1 ||
        !FStream.ReadAt(RecordOffset(FRecNo), FRecordBuffer.data(), RecordLength())) {
        throw ED(kReadRecord);
    }
}

void TDBF::WriteRecord() {
    // Without a current record there is nothing to write to: a stale change is dropped rather
    // than written over the header.
    if (FRecNo < 1) {
        FModified = false;
        return;
    }
    if (!HasLayout()) throw ED(kWriteRecord);
    const TLocalDate stored = GetDate(&FHeader[OffsetDate]);
    if (!IsValidDate(stored.Year, stored.Month, stored.Day)) throw ED(kWriteRecord);
    // The date bytes are written only when the day has changed: same file, one write fewer.
    const TLocalDate today = LocalDate();
    if (today.Year != stored.Year || today.Month != stored.Month || today.Day != stored.Day) {
        try {
            SetDbfDate(today);
        } catch (const ED&) {
            throw ED(kWriteRecord);
        }
    }
    if (!FStream.WriteAt(RecordOffset(FRecNo), FRecordBuffer.data(), RecordLength())) {
        throw ED(kWriteRecord);
    }
    FModified = false;
}

void TDBF::SetDbfDate(const TLocalDate& Date) {
    if (!IsValidDate(Date.Year, Date.Month, Date.Day)) throw ED(kSetDbfDateValue);
    PutDate(&FHeader[OffsetDate], Date);
    if (!FStream.WriteAt(OffsetDate, &FHeader[OffsetDate], DateSize)) throw ED(kSetDbfDateWrite);
}

void TDBF::Append() {
    // A table whose header was never read has no record geometry to write by.
    if (!HasLayout() || FRecordCount == std::numeric_limits<std::int32_t>::max()) {
        throw ED(kAppend);
    }
    ++FRecordCount;
    SetHeaderRecordCount(FRecordCount);
    try {
        // The blank record and the end marker in one write, then the header with the new count.
        if (!FStream.WriteAt(RecordOffset(FRecordCount), FBlankRecord.data(),
                             FBlankRecord.size()) ||
            !FStream.WriteAt(0, FHeader.data(), FHeader.size())) {
            throw ED(kAppend);
        }
        if (FModified) WriteRecord();
        // The new record is the blank just written: no need to read it back.
        FRecNo = FRecordCount;
        std::memcpy(FRecordBuffer.data(), FBlankRecord.data(), RecordLength());
    } catch (const ED&) {
        throw ED(kAppend);
    }
}

void TDBF::SetRecord(const char* Record) {
    if (!HasLayout() || FRecNo < 1) throw ED(kWriteRecord);
    std::memcpy(FRecordBuffer.data(), Record, RecordLength());
    FModified = true;
}

TDbfRecordLayout TDBF::RecordLayout() const {
    if (!HasLayout()) throw ED(kWriteRecord);
    TDbfRecordLayout layout;
    layout.Fields = FFieldDefs;
    layout.Offsets = FFieldOffsets;
    layout.Blank.assign(FBlankRecord.begin(), FBlankRecord.begin() + RecordLength());
    return layout;
}

void TDBF::Last() {
    if (FRecordCount < 1) throw ED(kLastEmpty);
    if (FModified) WriteRecord();
    FRecNo = FRecordCount;
    ReadRecord();
}

void TDBF::Post() {
    if (FRecordCount > 0) WriteRecord();
}

void TDBF::Close() {
    if (!FActive) throw ED(kCloseNotOpen);
    // Cuts the space reserved ahead; the table is closed even when that fails.
    const int cutError = FStream.Close();
    FHeader.fill(0);
    FFieldDefs.clear();
    FFieldOffsets.clear();
    FBlankRecord.clear();
    // No counters of a closed file stay behind to index the emptied descriptions.
    FFieldCount = 0;
    FRecordCount = 0;
    FRecNo = 0;
    FModified = false;
    FActive = false;
    if (cutError != 0) throw ED(kCloseCut);
}

void TDBF::Reopen() {
    if (FActive) Close();
    Open();
}

void TDBF::SetTableName(const std::string& Value) {
    if (FActive) throw ED(kTableNameActive);
    std::string name = ExtractFileName(Value);
    std::size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    for (char& c : extension) c = AsciiUpper(c);
    if (extension != ".DBF") throw ED(kTableNameType);
    FTableName = Value;
}

void TDBF::SetExclusive(bool Value) {
    if (FActive) throw ED(kExclusiveActive);
    FExclusive = Value;
}

void TDBF::SetCodePage(TDbfCodePage Value) {
    if (!HasLayout()) throw ED(kCodePageWrite);
    FHeader[OffsetLanguage] = LanguageByte(Value);
    if (!FStream.WriteAt(OffsetLanguage, &FHeader[OffsetLanguage], 1)) throw ED(kCodePageWrite);
}

void TDBF::BuildRecordLayout() {
    FFieldOffsets.resize(FFieldDefs.size());
    std::uint32_t offset = 1;
    for (std::size_t i = 0; i < FFieldDefs.size(); ++i) {
        FFieldOffsets[i] = offset;
        offset += FFieldDefs[i].Length;
    }
    std::size_t recordLength = RecordLength();
    FBlankRecord.assign(recordLength + 1, static_cast<char>(Blank));
    FBlankRecord[0] = static_cast<char>(RecordNotDeleted);
    FBlankRecord[recordLength] = static_cast<char>(EndOfFile);
}

std::size_t TDBF::HeaderLength() const {
    return GetU16(&FHeader[OffsetHeaderLength]);
}

std::size_t TDBF::RecordLength() const {
    return GetU16(&FHeader[OffsetRecordLength]);
}

std::uint64_t TDBF::RecordOffset(std::int32_t recNo) const {
    return HeaderLength() + static_cast<std::uint64_t>(recNo - 1) * RecordLength();
}

void TDBF::SetHeaderRecordCount(std::int32_t count) {
    PutU32(&FHeader[OffsetRecordCount], static_cast<std::uint32_t>(count));
}

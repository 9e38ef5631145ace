#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"

// Runs the converter with `arguments` to its end.
TProcessResult RunConverter(const std::vector<std::string>& arguments,
                            const TProcessOptions& options);

// A large pair of reports: ARTICLE.TXT with n articles (code = row, barcode LargeBarcode(row)),
// PRINT.TXT with stock for every second one (the odd rows).
void WriteLargeReports(const std::filesystem::path& folder, int n);
std::string LargeBarcode(int row);

// What lies on disk for one table after a failure or a crash, judged by its bytes alone.
// A valid table: complete header, every record the header counts fully on disk, then either the
// end of the file (a record boundary), 0x1A, or the blank record of an Append that did not get
// to count it (in full with its 0x1A, or cut short by a full disk). Never data beyond the count.
struct TTableInspection {
    bool Valid = false;
    std::string Why;  // what is wrong when not valid
    std::uint32_t Count = 0;
    std::size_t HeaderLength = 0;
    std::size_t RecordLength = 0;
    int LanguageDriver = 0;
    bool EofAfterRecords = false;      // 0x1A right after the counted records
    std::size_t UncountedBlank = 0;    // blank bytes of an uncounted Append
    std::size_t ReservedZeros = 0;     // zeros of space reserved ahead, not yet cut off
    std::vector<std::string> Records;  // the counted records, deletion flag included
};
TTableInspection InspectTable(const std::string& path, std::size_t headerLength,
                              std::size_t recordLength);

// Reads tables with python3-dbfread, in one process: per table the number of records it reads
// and the KOD / ID value (second field, trimmed) of its last record, or the error it raised.
// nullopt when python3-dbfread is unavailable (svDbfread).
struct TDbfreadResult {
    bool Read = false;
    std::string Error;
    long Records = 0;
    std::string LastSecondField;
};
std::optional<std::vector<TDbfreadResult>> ReadWithDbfread(const std::vector<std::string>& paths);

// The names of the two tables the export writes.
inline const char* const kDirectoryName = "Справочник.dbf";
inline const char* const kReceiptName = "Приходы.dbf";
constexpr std::size_t kDirectoryHeader = 257;
constexpr std::size_t kDirectoryRecord = 141;
constexpr std::size_t kReceiptHeader = 225;
constexpr std::size_t kReceiptRecord = 116;

// TDBF::Open on fuzzed file bytes; when the file opens, Last, a field change, Post, Append and
// Post, after which the file must open again with one record more and a valid end.
// Input: one option byte (bit 0 Exclusive, bit 1 change a field first, bit 2 reserve ahead),
// then the file bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "dbf/DBF.h"

namespace {

bool OneOf(const std::string& message, std::initializer_list<std::string_view> prefixes) {
    for (std::string_view prefix : prefixes)
        if (fuzz::StartsWith(message, prefix)) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t options = data[0];
    const std::string path = fuzz::ScratchFile("open.dbf");
    fuzz::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    const std::size_t fileSize = size - 1;

    // Bit 2 writes even this small file the way large tables are written (reserved ahead).
    SetGrowAheadThreshold((options & 4) != 0 ? 1 : 0);
    TDBF table;
    table.SetTableName(path);
    table.SetExclusive((options & 1) != 0);
    try {
        table.Open();
    } catch (const ED& error) {
        FUZZ_CHECK(OneOf(error.what(), {"ReadHeader: ", "ReadRecord: "}), error.what());
        if (table.Active()) table.Close();
        return 0;
    }

    // What was accepted lies inside the file.
    const std::string before = fuzz::ReadFile(path);
    const std::size_t headerLength = fuzz::Le(before, 8, 2);
    const std::size_t recordLength = fuzz::Le(before, 10, 2);
    FUZZ_CHECK(table.FieldCount() >= 1, "a table without fields opened");
    FUZZ_CHECK(headerLength == 32 * static_cast<std::size_t>(table.FieldCount() + 1) + 1,
               "header length and field count disagree");
    FUZZ_CHECK(recordLength <= 4000, "record longer than the record buffer");
    const auto count = static_cast<std::size_t>(table.RecordCount());
    FUZZ_CHECK(headerLength + count * recordLength <= fileSize, "records beyond the end of file");
    FUZZ_CHECK(table.RecNo() == (count > 0 ? 1 : 0), "RecNo after Open");

    bool appended = false;
    try {
        if (count > 0) {
            table.Last();
            FUZZ_CHECK(static_cast<std::size_t>(table.RecNo()) == count, "Last");
        }
        if ((options & 2) != 0 && count > 0) {
            try {
                table.SetFieldData(1, "1");
            } catch (const ED& error) {
                FUZZ_CHECK(OneOf(error.what(), {"SetFieldData: "}), error.what());
            }
            table.Post();
        }
        table.Append();
        appended = true;
        table.Post();
    } catch (const ED& error) {
        // A date in the header that is no date stops every record write.
        FUZZ_CHECK(OneOf(error.what(), {"WriteRecord: ", "Append: "}), error.what());
    }
    table.Close();

    if (appended) {
        const std::string after = fuzz::ReadFile(path);
        FUZZ_CHECK(fuzz::Le(after, 4, 4) == count + 1, "Append did not count the record");
        const std::size_t end = headerLength + (count + 1) * recordLength;
        FUZZ_CHECK(after.size() >= end + 1, "the appended record is not on disk");
        FUZZ_CHECK(after[end] == '\x1A', "no 0x1A after the appended record");
        FUZZ_CHECK(after[end - recordLength] == ' ', "deletion flag of the appended record");
        // Nothing before the records was touched but the count and the date.
        FUZZ_CHECK(after.compare(8, headerLength - 8, before, 8, headerLength - 8) == 0,
                   "the header beyond the count changed");

        TDBF again;
        again.SetTableName(path);
        try {
            again.Open();
        } catch (const ED& error) {
            FUZZ_CHECK(false,
                       std::string("the appended table does not open again: ") + error.what());
        }
        FUZZ_CHECK(static_cast<std::size_t>(again.RecordCount()) == count + 1, "count on reopen");
        again.Close();
    }
    return 0;
}

// SetFieldData on fuzzed field descriptions and values. Every value is posted and the record is
// read back from the file: a refused value changes nothing, an accepted one is encoded by its
// field's type, and no other field moves. FieldValueFit tells each answer ahead.

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "dbf/DBF.h"
#include "dbf/FieldEncoding.h"
#include "text/DecimalSeparator.h"
#include "text/FileSystem.h"
#include "text/NumberText.h"

namespace {

struct TField {
    char Type;
    std::size_t Length;
    std::size_t Decimals;
    std::size_t Offset;
    TFldType Given;  // as described to AddFieldDefs
    std::uint8_t Size;
    std::uint8_t Precision;
};

std::string TrimmedRight(const std::string& value) {
    std::size_t n = value.size();
    while (n > 0 && static_cast<unsigned char>(value[n - 1]) <= 0x20) --n;
    return value.substr(0, n);
}

std::string TrimBlanks(const std::string& text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void CheckEncoded(const TField& field, const std::string& value, const std::string& bytes,
                  char separator) {
    const std::string text = TrimmedRight(value);
    if (text.empty()) {
        FUZZ_CHECK(bytes == std::string(field.Length, ' '), "empty value must blank the field");
        return;
    }
    switch (field.Type) {
        case 'C':
            FUZZ_CHECK(bytes == text + std::string(field.Length - text.size(), ' '),
                       "C field is the text left-aligned");
            break;
        case 'L':
            FUZZ_CHECK(bytes == "T" || bytes == "F" || bytes == " ", "L field: " + bytes);
            break;
        case 'D':
            FUZZ_CHECK(bytes.find_first_not_of("0123456789") == std::string::npos,
                       "D field holds digits: " + bytes);
            break;
        case 'N':
        case 'F': {
            FUZZ_CHECK(bytes.back() != ' ', "number is right-aligned: " + bytes);
            std::string shown = TrimBlanks(bytes);
            std::optional<double> encoded = ParseDecimalText(shown, '.');
            FUZZ_CHECK(encoded.has_value(), "encoded number does not read back: " + bytes);
            std::size_t dot = shown.find('.');
            if (field.Decimals == 0) {
                FUZZ_CHECK(dot == std::string::npos, "no decimals expected: " + bytes);
            } else {
                FUZZ_CHECK(dot != std::string::npos && shown.size() - dot - 1 == field.Decimals,
                           "decimal count: " + bytes);
            }
            std::string input = text;
            if (separator == ',') {
                std::size_t habit = input.find('.');
                if (habit != std::string::npos) input[habit] = ',';
            }
            std::optional<double> typed = ParseDecimalText(input, separator);
            FUZZ_CHECK(typed.has_value(), "accepted a value that is no number: " + value);
            double unit = std::pow(10.0, -static_cast<double>(field.Decimals));
            double slack = unit / 2 + std::fabs(*typed) * 1e-15 + 1e-300;
            FUZZ_CHECK(std::fabs(*encoded - *typed) <= slack,
                       "rounded too far: " + value + " -> " + bytes);
            break;
        }
        default:
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const char separator = in.ConsumeBool() ? ',' : '.';
    SetDecimalSeparator(separator);
    SetGrowAheadThreshold(in.ConsumeBool() ? 1 : 0);

    TDBF table;
    const int wanted = in.ConsumeIntegralInRange(1, 6);
    std::vector<TField> fields;
    std::size_t recordLength = 1;
    for (int i = 0; i < wanted; ++i) {
        static constexpr char kLetters[] = {'L', 'D', 'F', 'N', 'C'};
        auto type = static_cast<TFldType>(in.ConsumeIntegralInRange(0, 4));
        auto length = in.ConsumeIntegral<std::uint8_t>();
        auto decimals = in.ConsumeIntegral<std::uint8_t>();
        std::string name = in.ConsumeRandomLengthString(12);
        const bool numeric = type == fldFloat || type == fldNumeric;
        const bool refused = length == 0 || (numeric && decimals > 0 && decimals + 2 > length);
        try {
            table.AddFieldDefs(name, type, length, decimals);
            FUZZ_CHECK(!refused, "a field description that breaks the limits was taken");
        } catch (const ED& error) {
            FUZZ_CHECK(refused, std::string("a good description was refused: ") + error.what());
            continue;
        }
        std::size_t stored = type == fldLogical ? 1 : type == fldDate ? 8 : length;
        fields.push_back({kLetters[type], stored, numeric ? decimals : 0u, recordLength, type,
                          length, decimals});
        recordLength += stored;
    }

    const std::string path = fuzz::ScratchFile("set.dbf");
    table.SetTableName(path);
    if (fields.empty()) {
        try {
            table.CreateTable();
            FUZZ_CHECK(false, "a table without fields was created");
        } catch (const ED& error) {
            FUZZ_CHECK(std::string(error.what()) == "CreateTable: Не заданы описания полей",
                       error.what());
        }
        return 0;
    }
    table.CreateTable();
    table.Append();
    FUZZ_CHECK(table.FieldCount() == static_cast<std::int32_t>(fields.size()), "field count");

    const std::size_t headerLength = 32 * (fields.size() + 1) + 1;
    std::string record(recordLength, ' ');
    while (in.remaining_bytes() > 0) {
        const int fieldNo = in.ConsumeIntegralInRange(-1, static_cast<int>(fields.size()) + 1);
        const std::string value = in.ConsumeRandomLengthString(300);
        const bool numbered = fieldNo >= 1 && fieldNo <= static_cast<int>(fields.size());
        TFieldFit told = ffFits;
        if (numbered) {
            const TField& f = fields[static_cast<std::size_t>(fieldNo - 1)];
            told = FieldValueFit(f.Given, f.Size, f.Precision, value);
        }
        bool accepted = true;
        TFieldFit got = ffFits;
        try {
            table.SetFieldData(fieldNo, value);
        } catch (const ED& error) {
            accepted = false;
            FUZZ_CHECK(fuzz::StartsWith(error.what(), "SetFieldData: "), error.what());
            const bool tooLong =
                fuzz::StartsWith(error.what(), "SetFieldData: Недопустимый размер");
            got = tooLong ? ffTooLong : ffNotValid;
        }
        if (numbered) FUZZ_CHECK(told == got, "FieldValueFit told otherwise: " + value);
        table.Post();
        // The record and its end marker; space reserved ahead may follow them.
        const std::string file = fuzz::ReadPrefix(path, headerLength + recordLength + 1);
        FUZZ_CHECK(file.size() == headerLength + recordLength + 1, "file size after Post");
        FUZZ_CHECK(file[headerLength + recordLength] == '\x1A', "end marker after Post");
        const std::string now = file.substr(headerLength, recordLength);
        if (fieldNo < 1 || fieldNo > static_cast<int>(fields.size())) {
            FUZZ_CHECK(!accepted, "a field number out of range was taken");
        }
        if (!accepted && fieldNo >= 1 && fieldNo <= static_cast<int>(fields.size())) {
            const TField& refused = fields[static_cast<std::size_t>(fieldNo - 1)];
            FUZZ_CHECK(refused.Type != 'C' || TrimmedRight(value).size() > refused.Length,
                       "a text that fits its C field was refused");
        }
        if (!accepted) {
            FUZZ_CHECK(now == record, "a refused value changed the record");
            continue;
        }
        const TField& field = fields[static_cast<std::size_t>(fieldNo - 1)];
        const std::string text = TrimmedRight(value);
        if (field.Type == 'C') FUZZ_CHECK(text.size() <= field.Length, "too long a text taken");
        for (std::size_t at = 0; at < recordLength; ++at) {
            if (at >= field.Offset && at < field.Offset + field.Length) continue;
            FUZZ_CHECK(now[at] == record[at], "a value spilled into another field");
        }
        CheckEncoded(field, value, now.substr(field.Offset, field.Length), separator);
        record = now;
    }
    table.Close();
    FUZZ_CHECK(fuzz::ReadFile(path).size() == headerLength + recordLength + 1,
               "Close leaves the file at its exact size");
    SetDecimalSeparator('.');
    return 0;
}

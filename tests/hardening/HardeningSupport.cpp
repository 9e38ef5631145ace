#include "HardeningSupport.h"

#include <fstream>
#include <sstream>

#include "PipelineSupport.h"

TProcessResult RunConverter(const std::vector<std::string>& arguments,
                            const TProcessOptions& options) {
    return RunProcess(K2L_CONVERTER, arguments, options);
}

std::string LargeBarcode(int row) {
    return std::to_string(4600000000000LL + row);
}

void WriteLargeReports(const std::filesystem::path& folder, int n) {
    std::ofstream article(folder / "ARTICLE.TXT", std::ios::binary);
    std::ofstream stock(folder / "PRINT.TXT", std::ios::binary);
    for (int i = 1; i <= n; ++i) {
        const std::string code = std::to_string(i);
        article << Field(code, 13) << ' ' << Field(LargeBarcode(i), 13) << std::string(13, ' ')
                << " 7"
                << "  " << Field("\x92\xAE\xA2\xA0\xE0 " + code, 40) << "\r\n";
        if (i % 2 == 1)
            stock << Field(code, 13) << std::string(40, ' ') << "     3" << ' ' << "  12.50"
                  << std::string(11, ' ') << "\r\n";
    }
}

TTableInspection InspectTable(const std::string& path, std::size_t headerLength,
                              std::size_t recordLength) {
    TTableInspection table;
    const std::string bytes = ReadBytes(path);
    auto fail = [&](const std::string& why) {
        table.Why = path + ": " + why;
        return table;
    };
    if (bytes.size() < headerLength) return fail("header cut short");
    if (static_cast<unsigned char>(bytes[0]) != 0x03) return fail("version byte");
    table.HeaderLength = LittleEndian(bytes, 8, 2);
    table.RecordLength = LittleEndian(bytes, 10, 2);
    if (table.HeaderLength != headerLength || table.RecordLength != recordLength)
        return fail("geometry");
    if (bytes[headerLength - 1] != '\x0D') return fail("no 0x0D after the descriptors");
    table.LanguageDriver = static_cast<unsigned char>(bytes[29]);
    table.Count = LittleEndian(bytes, 4, 4);
    const std::size_t end = headerLength + table.Count * recordLength;
    if (bytes.size() < end) return fail("counted records missing from the file");
    for (std::size_t r = 0; r < table.Count; ++r)
        table.Records.push_back(bytes.substr(headerLength + r * recordLength, recordLength));

    std::string tail = bytes.substr(end);
    // A large table is reserved ahead while it is written and cut to its size at Close: a killed
    // export leaves that reserve as zeros past the end marker. Readers go by the header count.
    const std::size_t lastData = tail.find_last_not_of('\0');
    const std::size_t kept = lastData == std::string::npos ? 0 : lastData + 1;
    table.ReservedZeros = tail.size() - kept;
    tail.resize(kept);
    if (tail.empty() || tail == "\x1A") {
        table.EofAfterRecords = !tail.empty();
        table.Valid = true;
        return table;
    }
    // The end marker right after the counted records, with the blank record an interrupted
    // Append had begun behind it: readers stop at the marker.
    if (tail[0] == '\x1A' && tail.size() <= recordLength + 1 &&
        tail.find_first_not_of(" \x1A", 1) == std::string::npos) {
        table.EofAfterRecords = true;
        table.Valid = true;
        return table;
    }
    if (tail.back() == '\x1A') {
        tail.pop_back();
        if (tail.size() != recordLength) return fail("0x1A after a part of a record");
    }
    if (tail.size() > recordLength) return fail("more than one record beyond the count");
    if (tail.find_first_not_of(' ') != std::string::npos) return fail("data beyond the count");
    table.UncountedBlank = tail.size();
    table.Valid = true;
    return table;
}

std::optional<std::vector<TDbfreadResult>> ReadWithDbfread(const std::vector<std::string>& paths) {
    if (!Unavailable(svDbfread).empty()) return std::nullopt;
    // One line per table: "ok <records> <last second field>" or "error <text>". dbfread walks
    // every record to count them; the last 500 are also parsed field by field with its parser
    // (parsing all of a table of 200,000 records would take seconds).
    static const char* kReader =
        "import sys, dbfread\n"
        "for path in sys.argv[1:]:\n"
        "    try:\n"
        "        table = dbfread.DBF(path, encoding='cp866', load=False)\n"
        "        count = len(table)\n"
        "        parser = dbfread.FieldParser(table)\n"
        "        last = None\n"
        "        with open(path, 'rb') as infile:\n"
        "            first = max(0, count - 500)\n"
        "            infile.seek(table.header.headerlen + first * table.header.recordlen)\n"
        "            for i in range(first, count):\n"
        "                if infile.read(1) != b' ':\n"
        "                    raise ValueError('deletion flag of record %d' % (i + 1))\n"
        "                last = [parser.parse(f, infile.read(f.length)) for f in table.fields]\n"
        "        second = '' if last is None else str(last[1] or '').strip()\n"
        "        print('ok', count, second or '-')\n"
        "    except Exception as error:\n"
        "        print('error', type(error).__name__, str(error).replace('\\n', ' '))\n";
    TTempDir scratch;
    const std::string script = scratch.File("read.py");
    WriteBytes(script, kReader);
    std::vector<std::string> arguments = {script};
    arguments.insert(arguments.end(), paths.begin(), paths.end());
    const TProcessResult run = RunProcess(kPython, arguments);

    std::vector<TDbfreadResult> results;
    std::istringstream lines(run.Out + run.Err);
    std::string line;
    while (std::getline(lines, line)) {
        TDbfreadResult result;
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "ok") {
            result.Read = true;
            words >> result.Records >> result.LastSecondField;
            if (result.LastSecondField == "-") result.LastSecondField.clear();
        } else {
            result.Error = line;
        }
        results.push_back(result);
    }
    results.resize(paths.size(), TDbfreadResult{false, "no answer from dbfread", 0, ""});
    return results;
}

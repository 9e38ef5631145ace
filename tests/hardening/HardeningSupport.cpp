#include "HardeningSupport.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "PipelineSupport.h"

pid_t SpawnConverter(const std::vector<std::string>& arguments, const TSpawnOptions& options) {
    const std::string out = (options.OutputFolder / "converter.stdout").string();
    const std::string err = (options.OutputFolder / "converter.stderr").string();
    const std::string folder = options.WorkingFolder.string();
    std::vector<std::string> argv = {K2L_CONVERTER};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& a : argv) pointers.push_back(a.data());
    pointers.push_back(nullptr);

    pid_t pid = ::fork();
    if (pid != 0) return pid;
    // The child: only async-signal-safe calls from here on.
    int in = ::open("/dev/null", O_RDONLY);
    int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || o < 0 || e < 0 || ::dup2(in, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0)
        ::_exit(126);
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
    if (options.FileSizeLimit > 0) {
        // A write beyond the limit then fails with EFBIG instead of killing the process.
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {};
        limit.rlim_cur = static_cast<rlim_t>(options.FileSizeLimit);
        limit.rlim_max = static_cast<rlim_t>(options.FileSizeLimit);
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(125);
    }
    ::execv(pointers[0], pointers.data());
    ::_exit(127);
}

TProcessResult WaitConverter(pid_t pid, const TSpawnOptions& options) {
    TProcessResult result;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return result;
    }
    if (WIFEXITED(status)) result.Exit = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.Signal = WTERMSIG(status);
    result.Out = ReadBytes((options.OutputFolder / "converter.stdout").string());
    result.Err = ReadBytes((options.OutputFolder / "converter.stderr").string());
    return result;
}

TProcessResult RunConverter(const std::vector<std::string>& arguments,
                            const TSpawnOptions& options) {
    return WaitConverter(SpawnConverter(arguments, options), options);
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
    const char* python = "/usr/bin/python3";
    if (::access(python, X_OK) != 0 ||
        std::system("/usr/bin/python3 -c 'import dbfread' >/dev/null 2>&1") != 0) {
        return std::nullopt;
    }
    // One line per table: "ok <records> <last second field>" or "error <text>". dbfread walks
    // every record to count them; the last 500 are also parsed field by field with its parser
    // (parsing all of a table of 200,000 records would take seconds).
    static const char* kScript =
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
    const std::string output = scratch.File("read.out");
    WriteBytes(script, kScript);
    std::string command = std::string(python) + " '" + script + "'";
    for (const std::string& path : paths) command += " '" + path + "'";
    command += " >'" + output + "' 2>&1";
    std::system(command.c_str());

    std::vector<TDbfreadResult> results;
    std::istringstream lines(ReadBytes(output));
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

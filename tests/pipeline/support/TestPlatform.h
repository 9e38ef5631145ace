#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// What the tests expect differently on Linux and on Windows: how a UTF-8 path becomes a path,
// the path delimiter in messages, the system's texts for what went wrong, and the services that
// only one platform has.

// A path from UTF-8 text, and back. The program's paths are UTF-8; a std::string taken as a path
// is read in the ANSI code page on Windows, which has no room for "Справочник.dbf".
std::filesystem::path PathOf(std::string_view utf8);
std::string Utf8Of(const std::filesystem::path& path);

// `text` with every "/" turned into the platform's path delimiter ("\" on Windows), for the
// full paths that messages show.
std::string NativeDelimiters(std::string text);

// What went wrong, as the tests name it; each platform has its own error and text for it.
enum TSysError {
    seFileMissing,    // the file does not exist
    seFolderMissing,  // a folder on the way does not exist
    seFolderIsAFile,  // a file stands where the path needs a folder
    seInUse,          // another opener holds the file without sharing
    seAccessDenied,   // no right to write there
    seIoError,        // a read or write failed (the fault switch's failure)
};

// The system's text for it: strerror's on Linux, the Windows error's own text on Windows.
std::string SystemText(TSysError error);

// Services of the system that some tests need and not every platform has.
enum TService {
    svFileSizeLimit,   // a file size limit for one process (RLIMIT_FSIZE), to make a full disk
    svFork,            // a copy of this process that runs a function (fork)
    svReadOnlyFolder,  // a folder that refuses new files to this user
    svEndlessDevice,   // a file that never ends (/dev/zero)
    svTerminal,        // a terminal whose every byte is recorded (script(1))
    svDbfread,         // python3 with its dbfread module, an independent reader of the tables
};

// Why `service` is not there, "" when it is; a test that needs it skips with this line.
std::string Unavailable(TService service);

#define K2L_SKIP_UNLESS_AVAILABLE(service) \
    if (const std::string k2lWhy = Unavailable(service); !k2lWhy.empty()) GTEST_SKIP() << k2lWhy

// The Python program that has dbfread (svDbfread), and the terminal recorder (svTerminal).
inline const char* const kPython = "/usr/bin/python3";
inline const char* const kScript = "/usr/bin/script";

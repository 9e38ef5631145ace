#include "TestPlatform.h"

#include "ChildProcess.h"
#include "text/FileSystem.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

std::filesystem::path PathOf(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

#ifdef _WIN32

std::string NativeDelimiters(std::string text) {
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

std::string SystemText(TSysError error) {
    switch (error) {
        case seFileMissing:
            return SysErrorMessage(ERROR_FILE_NOT_FOUND);
        case seFolderMissing:
        case seFolderIsAFile:
            return SysErrorMessage(ERROR_PATH_NOT_FOUND);
        case seInUse:
            return SysErrorMessage(ERROR_SHARING_VIOLATION);
        case seAccessDenied:
            return SysErrorMessage(ERROR_ACCESS_DENIED);
        case seIoError:
            return SysErrorMessage(ERROR_IO_DEVICE);
    }
    return "";
}

std::string Unavailable(TService service) {
    switch (service) {
        case svFileSizeLimit:
            return "Windows has no file size limit for one process to make a full disk with; the "
                   "injected write faults fail the writes and the growth instead";
        case svFork:
            return "Windows cannot fork a process";
        case svReadOnlyFolder:
            return "the read-only attribute does not keep files out of a folder on Windows, and "
                   "Wine does not apply access control lists";
        case svEndlessDevice:
            return "/dev/zero is a Linux device; Windows has no file without an end";
        case svTerminal:
            return "a console window keeps only its last picture, and the converter clears its "
                   "progress line: there is no transcript of it to check";
        case svDbfread:
            return "python3-dbfread is a Linux program; the Windows converter's tables are "
                   "compared byte for byte with the Linux converter's instead";
    }
    return "";
}

#else

std::string NativeDelimiters(std::string text) {
    return text;
}

// The texts as they are, so that a change of the messages shows here.
std::string SystemText(TSysError error) {
    switch (error) {
        case seFileMissing:
        case seFolderMissing:
            return "No such file or directory";
        case seFolderIsAFile:
            return "Not a directory";
        case seInUse:
            return "Device or resource busy";
        case seAccessDenied:
            return "Permission denied";
        case seIoError:
            return "Input/output error";
    }
    return "";
}

std::string Unavailable(TService service) {
    switch (service) {
        case svFileSizeLimit:
        case svFork:
        case svEndlessDevice:
            return "";
        case svReadOnlyFolder:
            return ::geteuid() == 0 ? "running as root, which writes into read-only folders" : "";
        case svTerminal:
            return ::access(kScript, X_OK) == 0 ? "" : "no script(1) here";
        case svDbfread: {
            static const bool installed = ::access(kPython, X_OK) == 0 &&
                                          RunProcess(kPython, {"-c", "import dbfread"}).Exit == 0;
            return installed ? ""
                             : "python3-dbfread is not installed (apt-get install python3-dbfread)";
        }
    }
    return "";
}

#endif

// The Windows half of the file layer: paths, the local date, and the system calls under TFile.
// Paths are UTF-8 inside the program and UTF-16 at every call, so any folder or file name works.

#include <windows.h>

#include <algorithm>
#include <ctime>
#include <optional>
#include <vector>

#include "text/FilePlatform.h"
#include "text/FileSystem.h"
#include "text/Utf16.h"
#include "text/WindowsPath.h"

static_assert(kFileInUse == ERROR_SHARING_VIOLATION);
static_assert(kFileIoError == ERROR_IO_DEVICE);

namespace {

// Every transfer is split into pieces a DWORD can count.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

// The path as the system's file calls take it: in the extended-length form once it reaches the
// length limit, so that long paths work even where the system's long-path setting is off. A
// relative path is measured with the current folder in front, as the system will.
std::wstring SystemPath(const std::string& path) {
    std::optional<std::string> form = ExtendedLengthPath(path);
    if (!form && !path.empty() && !IsFullWindowsPath(path)) {
        form = ExtendedLengthPath(ExpandFileName(path));
    }
    return Wide(form ? *form : path);
}

HANDLE Native(TFileHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

int Error() {
    return static_cast<int>(::GetLastError());
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

bool SetEnd(HANDLE file, std::uint64_t length) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(length);
    return ::SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end) != 0;
}

DWORD Attributes(const std::string& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(SystemPath(path).c_str());
}

// Whether an error says that the call is not available for this file (rather than failed).
bool Unsupported(int error) {
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_CALL_NOT_IMPLEMENTED || error == ERROR_INVALID_PARAMETER;
}

}  // namespace

bool FileExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string ExpandFileName(const std::string& path) {
    const std::wstring wide = Wide(path);
    std::vector<wchar_t> full(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return path;
        if (length < full.size()) return Narrow(std::wstring_view(full.data(), length));
        full.resize(length);
    }
}

std::string ExtractFileName(const std::string& path) {
    std::size_t i = path.size();
    while (i > 0 && !IsPathDelimiter(path[i - 1]) && path[i - 1] != ':') --i;
    return path.substr(i);
}

std::string SysErrorMessage(int error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) return "Unknown error " + std::to_string(error);
    // The system's texts end in ".\r\n"; the messages that quote them add their own full stop.
    std::size_t end = length;
    while (end > 0 && (text[end - 1] <= L' ' || text[end - 1] == L'.')) --end;
    std::string message = Narrow(std::wstring_view(text, end));
    ::LocalFree(text);
    return message;
}

namespace FilePlatform {

int Delete(const std::string& path) {
    // Refused with a sharing violation while anybody holds the file open.
    return ::DeleteFileW(SystemPath(path).c_str()) ? 0 : Error();
}

int CheckReplaceable(const std::string& path) {
    // Opening for deletion without sharing fails while any other opener holds the file, which is
    // exactly when a move over it would fail.
    HANDLE file = ::CreateFileW(SystemPath(path).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const int error = Error();
        return error == ERROR_FILE_NOT_FOUND ? 0 : error;
    }
    ::CloseHandle(file);
    return 0;
}

int Move(const std::string& from, const std::string& to) {
    // Write-through: the call returns once the move is on the disk, so no folder flush is needed.
    return ::MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : Error();
}

int FlushFolder(const std::string&) {
    return 0;
}

int Sync(TFileHandle handle) {
    return ::FlushFileBuffers(Native(handle)) ? 0 : Error();
}

int SyncMap(char* map, std::uint64_t length) {
    return ::FlushViewOfFile(map, static_cast<SIZE_T>(length)) ? 0 : Error();
}

std::time_t Now() {
    // Not the C library's time(), which may consult the time zone on every call: under Wine it
    // took four fifths of a large export.
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    constexpr std::uint64_t kTicksTo1970 = 116444736000000000ull;  // 100 ns ticks from 1601
    return static_cast<std::time_t>((ticks - kTicksTo1970) / 10000000u);
}

TLocalDate Today(std::time_t) {
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    return {local.wYear, local.wMonth, local.wDay};
}

int Open(const std::string& path, TOpenMode mode, TFileHandle& handle) {
    // Readers share with writers that share: a table being filled with sharing stays readable,
    // while a file held without sharing keeps every other opener out.
    const DWORD access = mode == omRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD share = mode == omShared || mode == omRead ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    // Not CREATE_ALWAYS: the file is emptied only once this opener holds it.
    const DWORD disposition = mode == omCreate ? OPEN_ALWAYS : OPEN_EXISTING;
    HANDLE file = ::CreateFileW(SystemPath(path).c_str(), access, share, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Error();
    if (mode == omCreate && !SetEnd(file, 0)) {
        const int error = Error();
        ::CloseHandle(file);
        return error;
    }
    handle = reinterpret_cast<TFileHandle>(file);
    return 0;
}

void Close(TFileHandle handle) {
    ::CloseHandle(Native(handle));
}

std::uint64_t Size(TFileHandle handle) {
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(Native(handle), &size) != 0 && size.QuadPart > 0
               ? static_cast<std::uint64_t>(size.QuadPart)
               : 0;
}

bool ReadAt(TFileHandle handle, std::uint64_t offset, void* buffer, std::size_t count) {
    auto* out = static_cast<char*>(buffer);
    while (count > 0) {
        OVERLAPPED at = At(offset);
        DWORD n = 0;
        const auto want = static_cast<DWORD>(std::min(count, kMaxTransfer));
        if (!::ReadFile(Native(handle), out, want, &n, &at) || n == 0) {
            return false;  // a short file is a failed read
        }
        out += n;
        offset += n;
        count -= n;
    }
    return true;
}

bool WriteAt(TFileHandle handle, std::uint64_t offset, const void* buffer, std::size_t count) {
    const auto* in = static_cast<const char*>(buffer);
    while (count > 0) {
        OVERLAPPED at = At(offset);
        DWORD n = 0;
        const auto want = static_cast<DWORD>(std::min(count, kMaxTransfer));
        if (!::WriteFile(Native(handle), in, want, &n, &at) || n == 0) return false;
        in += n;
        offset += n;
        count -= n;
    }
    return true;
}

std::ptrdiff_t Read(TFileHandle handle, void* buffer, std::size_t count) {
    DWORD n = 0;
    const auto want = static_cast<DWORD>(std::min(count, kMaxTransfer));
    if (::ReadFile(Native(handle), buffer, want, &n, nullptr)) return n;
    // A pipe whose writer has gone has simply ended.
    const DWORD error = ::GetLastError();
    return error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF ? 0 : -1;
}

int Truncate(TFileHandle handle, std::uint64_t length) {
    return SetEnd(Native(handle), length) ? 0 : Error();
}

int Reserve(TFileHandle handle, std::uint64_t offset, std::uint64_t length) {
    HANDLE file = Native(handle);
    const std::uint64_t end = offset + length;
    // Clusters allocated ahead are the reservation: a full disk refuses them here, where the
    // caller can report it, and never as a fault on a store into the mapping.
    FILE_ALLOCATION_INFO allocation{};
    allocation.AllocationSize.QuadPart = static_cast<LONGLONG>(end);
    if (::SetFileInformationByHandle(file, FileAllocationInfo, &allocation, sizeof allocation)) {
        return SetEnd(file, end) ? 0 : Error();
    }
    int error = Error();
    if (!Unsupported(error)) return error;
    // Where allocation cannot be asked for (Wine lengthens a file sparse on a Unix file system),
    // zeros written are the reservation. A failure may leave some of them.
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    const std::vector<char> zeros(
        static_cast<std::size_t>(std::min<std::uint64_t>(length, kPiece)));
    for (std::uint64_t at = offset; at < end;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(end - at, zeros.size()));
        if (!WriteAt(handle, at, zeros.data(), n)) return Error();
        at += n;
    }
    return 0;
}

bool CannotReserve(int error) {
    // Allocation that is not available is replaced by written zeros; only a handle that takes
    // no writes of that kind (not a disk file) cannot be reserved for.
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}

char* Map(TFileHandle handle, char* old, std::uint64_t oldLength, std::uint64_t length) {
    HANDLE mapping =
        ::CreateFileMappingW(Native(handle), nullptr, PAGE_READWRITE,
                             static_cast<DWORD>(length >> 32), static_cast<DWORD>(length), nullptr);
    if (mapping == nullptr) return nullptr;
    void* view =
        ::MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, static_cast<SIZE_T>(length));
    // The view keeps the mapping object alive on its own.
    ::CloseHandle(mapping);
    if (view == nullptr) return nullptr;
    // The old view goes only once the new one stands; both show the same file.
    if (old != nullptr) Unmap(old, oldLength);
    return static_cast<char*>(view);
}

void Unmap(char* map, std::uint64_t /*length*/) {
    ::UnmapViewOfFile(map);
}

void Release(char* from, std::uint64_t length) {
    // On pages that are not locked this takes them out of the working set; dirty ones are
    // written by the system as usual.
    ::VirtualUnlock(from, static_cast<SIZE_T>(length));
}

void WriteBack(TFileHandle, std::uint64_t, std::uint64_t) {
    // FlushViewOfFile would wait for the writes: the system's lazy writer starts them anyway.
}

std::uint64_t PageSize() {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.dwPageSize;
}

int LastError() {
    return Error();
}

void SetError(int error) {
    ::SetLastError(static_cast<DWORD>(error));
}

}  // namespace FilePlatform

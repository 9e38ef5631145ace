// The POSIX half of the file layer: paths, the local date, and the system calls under TFile.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "text/FilePlatform.h"
#include "text/FileSystem.h"

namespace {

int Descriptor(TFileHandle handle) {
    return static_cast<int>(handle);
}

// Takes a lock without waiting. A held lock reads as kFileInUse; file systems without locks are
// accepted as they are.
int LockWithoutWaiting(int fd, int operation) {
    if (::flock(fd, operation | LOCK_NB) == 0) return 0;
    int error = errno;
    if (error == EWOULDBLOCK) return kFileInUse;
    if (error == ENOLCK || error == EINVAL || error == ENOTSUP) return 0;
    return error;
}

}  // namespace

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ExpandFileName(const std::string& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec) return path;
    return absolute.lexically_normal().string();
}

std::string ExtractFileName(const std::string& path) {
    std::size_t i = path.size();
    while (i > 0 && !IsPathDelimiter(path[i - 1])) --i;
    return path.substr(i);
}

std::string SysErrorMessage(int error) {
    return std::generic_category().message(error);
}

namespace FilePlatform {

int Delete(const std::string& path) {
    // Windows refuses to delete a file that somebody holds open; an exclusive probe lock says so.
    int error = CheckReplaceable(path);
    if (error != 0) return error;
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int CheckReplaceable(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT ? 0 : errno;
    const int error = LockWithoutWaiting(fd, LOCK_EX);
    ::close(fd);
    return error;
}

int Move(const std::string& from, const std::string& to) {
    // rename() would replace a file that someone holds; as on Windows, a held file is refused.
    // The lock is kept over the rename, so nobody takes the older file in between.
    int fd = ::open(to.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 && errno != ENOENT) return errno;
    int error = fd >= 0 ? LockWithoutWaiting(fd, LOCK_EX) : 0;
    if (error == 0 && ::rename(from.c_str(), to.c_str()) != 0) error = errno;
    if (fd >= 0) ::close(fd);
    return error;
}

int FlushFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int error = 0;
    while (::fsync(fd) != 0) {
        if (errno == EINTR) continue;
        // Some file systems cannot flush a folder at all: nothing is kept back there to wait for.
        if (errno != EINVAL && errno != EROFS) error = errno;
        break;
    }
    ::close(fd);
    return error;
}

int Sync(TFileHandle handle) {
    while (::fsync(Descriptor(handle)) != 0) {
        if (errno == EINTR) continue;
        return errno == EINVAL ? 0 : errno;
    }
    return 0;
}

int SyncMap(char* map, std::uint64_t length) {
    return ::msync(map, static_cast<std::size_t>(length), MS_SYNC) == 0 ? 0 : errno;
}

std::time_t Now() {
    return std::time(nullptr);
}

TLocalDate Today(std::time_t now) {
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

int Open(const std::string& path, TOpenMode mode, TFileHandle& handle) {
    // Not O_TRUNC: a file that someone else holds must stay untouched when the lock is refused.
    const int flags = mode == omCreate ? O_RDWR | O_CREAT : mode == omRead ? O_RDONLY : O_RDWR;
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    int error = 0;
    if (mode == omRead) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) error = EISDIR;
    }
    if (error == 0) {
        error = LockWithoutWaiting(fd, mode == omRead || mode == omShared ? LOCK_SH : LOCK_EX);
    }
    if (error == 0 && mode == omCreate && ::ftruncate(fd, 0) != 0) error = errno;
    if (error != 0) {
        ::close(fd);
        return error;
    }
    handle = fd;
    return 0;
}

void Close(TFileHandle handle) {
    ::close(Descriptor(handle));
}

std::uint64_t Size(TFileHandle handle) {
    struct stat st {};
    return ::fstat(Descriptor(handle), &st) == 0 && st.st_size > 0
               ? static_cast<std::uint64_t>(st.st_size)
               : 0;
}

bool ReadAt(TFileHandle handle, std::uint64_t offset, void* buffer, std::size_t count) {
    auto* out = static_cast<char*>(buffer);
    while (count > 0) {
        ssize_t n = ::pread(Descriptor(handle), out, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // a short file is a failed read
        out += n;
        offset += static_cast<std::uint64_t>(n);
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteAt(TFileHandle handle, std::uint64_t offset, const void* buffer, std::size_t count) {
    const auto* in = static_cast<const char*>(buffer);
    while (count > 0) {
        ssize_t n = ::pwrite(Descriptor(handle), in, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        in += n;
        offset += static_cast<std::uint64_t>(n);
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

std::ptrdiff_t Read(TFileHandle handle, void* buffer, std::size_t count) {
    for (;;) {
        ssize_t n = ::read(Descriptor(handle), buffer, count);
        if (n < 0 && errno == EINTR) continue;
        return n;
    }
}

int Truncate(TFileHandle handle, std::uint64_t length) {
    while (::ftruncate(Descriptor(handle), static_cast<off_t>(length)) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

int Reserve(TFileHandle handle, std::uint64_t offset, std::uint64_t length) {
    return ::posix_fallocate(Descriptor(handle), static_cast<off_t>(offset),
                             static_cast<off_t>(length));
}

bool CannotReserve(int error) {
    return error == EOPNOTSUPP || error == ENOSYS || error == EINVAL || error == ENODEV;
}

char* Map(TFileHandle handle, char* old, std::uint64_t oldLength, std::uint64_t length) {
    void* map = old == nullptr ? ::mmap(nullptr, static_cast<std::size_t>(length),
                                        PROT_READ | PROT_WRITE, MAP_SHARED, Descriptor(handle), 0)
                               : ::mremap(old, static_cast<std::size_t>(oldLength),
                                          static_cast<std::size_t>(length), MREMAP_MAYMOVE);
    return map == MAP_FAILED ? nullptr : static_cast<char*>(map);
}

void Unmap(char* map, std::uint64_t length) {
    ::munmap(map, static_cast<std::size_t>(length));
}

void Release(char* from, std::uint64_t length) {
    ::madvise(from, static_cast<std::size_t>(length), MADV_DONTNEED);
}

void WriteBack(TFileHandle handle, std::uint64_t offset, std::uint64_t length) {
#ifdef __linux__
    // A failed write-back is kept by the file and reported by the next fsync.
    ::sync_file_range(Descriptor(handle), static_cast<off_t>(offset), static_cast<off_t>(length),
                      SYNC_FILE_RANGE_WRITE);
#else
    (void)handle, (void)offset, (void)length;
#endif
}

std::uint64_t PageSize() {
    return static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

int LastError() {
    return errno;
}

void SetError(int error) {
    errno = error;
}

}  // namespace FilePlatform

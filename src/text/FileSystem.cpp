#include "text/FileSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace {

std::atomic<long> OpCount[2];
std::atomic<long> FailAt[2];

// Counts one operation; true when the test switch says this one must fail.
bool InjectedFault(TFileOp op) {
    long n = OpCount[op].fetch_add(1, std::memory_order_relaxed) + 1;
    long failAt = FailAt[op].load(std::memory_order_relaxed);
    if (failAt != 0 && n == failAt) {
        errno = EIO;
        return true;
    }
    return false;
}

// Takes a lock without waiting. A held lock reads as EBUSY ("in use"); file systems without
// locks are accepted as they are.
int LockWithoutWaiting(int fd, int operation) {
    if (::flock(fd, operation | LOCK_NB) == 0) return 0;
    int error = errno;
    if (error == EWOULDBLOCK) return EBUSY;
    if (error == ENOLCK || error == EINVAL || error == ENOTSUP) return 0;
    return error;
}

}  // namespace

bool FileExists(const std::string& path) {
    struct stat st{};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st{};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFileAt(const std::string& path) {
    // Windows refuses to delete a file that somebody holds open; an exclusive probe lock says so.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        int error = LockWithoutWaiting(fd, LOCK_EX);
        ::close(fd);
        if (error != 0) {
            errno = error;
            return false;
        }
    }
    return ::unlink(path.c_str()) == 0;
}

std::string ExpandFileName(const std::string& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec) return path;
    return absolute.lexically_normal().string();
}

std::string ExtractFileName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SysErrorMessage(int error) {
    return std::generic_category().message(error);
}

TLocalDate LocalDate() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

TFile::~TFile() {
    Close();
}

TFile::TFile(TFile&& other) noexcept : Fd(other.Fd) {
    other.Fd = -1;
}

TFile& TFile::operator=(TFile&& other) noexcept {
    if (this != &other) {
        Close();
        Fd = other.Fd;
        other.Fd = -1;
    }
    return *this;
}

int TFile::Create(const std::string& path) {
    Close();
    // Not O_TRUNC: a file that someone else holds must stay untouched when the lock is refused.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    int error = LockWithoutWaiting(fd, LOCK_EX);
    if (error == 0 && ::ftruncate(fd, 0) != 0) error = errno;
    if (error != 0) {
        ::close(fd);
        return error;
    }
    Fd = fd;
    return 0;
}

int TFile::Open(const std::string& path, bool exclusive) {
    Close();
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return errno;
    int error = LockWithoutWaiting(fd, exclusive ? LOCK_EX : LOCK_SH);
    if (error != 0) {
        ::close(fd);
        return error;
    }
    Fd = fd;
    return 0;
}

int TFile::OpenRead(const std::string& path) {
    Close();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st{};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return EISDIR;
    }
    int error = LockWithoutWaiting(fd, LOCK_SH);
    if (error != 0) {
        ::close(fd);
        return error;
    }
    Fd = fd;
    return 0;
}

void TFile::Close() {
    if (Fd >= 0) {
        ::close(Fd);  // releases the lock too
        Fd = -1;
    }
}

bool TFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
    if (Fd < 0 || InjectedFault(foRead)) return false;
    auto* out = static_cast<char*>(buffer);
    while (count > 0) {
        ssize_t n = ::pread(Fd, out, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // a short file is a failed read
        out += n;
        offset += static_cast<std::uint64_t>(n);
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

bool TFile::WriteAt(std::uint64_t offset, const void* buffer, std::size_t count) {
    if (Fd < 0 || InjectedFault(foWrite)) return false;
    const auto* in = static_cast<const char*>(buffer);
    while (count > 0) {
        ssize_t n = ::pwrite(Fd, in, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        in += n;
        offset += static_cast<std::uint64_t>(n);
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

std::ptrdiff_t TFile::Read(void* buffer, std::size_t count) {
    if (Fd < 0 || InjectedFault(foRead)) return -1;
    for (;;) {
        ssize_t n = ::read(Fd, buffer, count);
        if (n < 0 && errno == EINTR) continue;
        return n;
    }
}

void SetFileFault(TFileOp op, long failAt) {
    FailAt[op].store(failAt, std::memory_order_relaxed);
}

void ResetFileFaults() {
    for (int op = 0; op < 2; ++op) {
        OpCount[op].store(0, std::memory_order_relaxed);
        FailAt[op].store(0, std::memory_order_relaxed);
    }
}

long FileOpCount(TFileOp op) {
    return OpCount[op].load(std::memory_order_relaxed);
}

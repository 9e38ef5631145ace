#include "text/FileSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace {

std::atomic<long> OpCount[2];
std::atomic<long> FailAt[2];
std::atomic<std::uint64_t> GrowThreshold{kGrowAheadThreshold};

// Growth of a grown-ahead file: at least 8 MiB or a quarter of its size, whole MiBs, so a table
// of a million records is grown a dozen times rather than a million.
constexpr std::uint64_t kMinGrowStep = std::uint64_t{8} << 20;
constexpr std::uint64_t kGrowUnit = std::uint64_t{1} << 20;
// Mapped pages behind the write point are let go every so many bytes: they stay in the page
// cache (dirty ones are written back by the system as usual) but not in this process's memory.
constexpr std::uint64_t kReleaseEvery = std::uint64_t{8} << 20;

// Errors that say the file system cannot reserve space ahead: such a file is written in place.
bool CannotReserveHere(int error) {
    return error == EOPNOTSUPP || error == ENOSYS || error == EINVAL || error == ENODEV;
}

std::uint64_t SizeOf(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

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
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
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
    // Every record written asks for the date: the calendar is consulted once a second at most.
    thread_local std::time_t cachedAt = -1;
    thread_local TLocalDate cached{};
    std::time_t now = std::time(nullptr);
    if (now != cachedAt) {
        std::tm local{};
        ::localtime_r(&now, &local);
        cached = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
        cachedAt = now;
    }
    return cached;
}

TFile::~TFile() {
    Close();
}

TFile::TFile(TFile&& other) noexcept
    : Fd(other.Fd),
      Growing(other.Growing),
      ExactSize(other.ExactSize),
      Reserved(other.Reserved),
      Map(other.Map),
      MapLength(other.MapLength),
      ReleaseMark(other.ReleaseMark) {
    other.Fd = -1;
    other.Growing = false;
    other.Map = nullptr;
    other.MapLength = other.ExactSize = other.Reserved = other.ReleaseMark = 0;
}

TFile& TFile::operator=(TFile&& other) noexcept {
    if (this != &other) {
        Close();
        std::swap(Fd, other.Fd);
        std::swap(Growing, other.Growing);
        std::swap(ExactSize, other.ExactSize);
        std::swap(Reserved, other.Reserved);
        std::swap(Map, other.Map);
        std::swap(MapLength, other.MapLength);
        std::swap(ReleaseMark, other.ReleaseMark);
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
    ExactSize = Reserved = 0;
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
    ExactSize = Reserved = SizeOf(fd);
    return 0;
}

int TFile::OpenRead(const std::string& path) {
    Close();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
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
    ExactSize = Reserved = SizeOf(fd);
    return 0;
}

int TFile::Close() {
    if (Fd < 0) return 0;
    Unmap();
    int error = 0;
    if (Reserved > ExactSize) {
        if (InjectedFault(foWrite)) {
            error = EIO;
        } else {
            while (::ftruncate(Fd, static_cast<off_t>(ExactSize)) != 0) {
                if (errno != EINTR) {
                    error = errno;
                    break;
                }
            }
        }
    }
    ::close(Fd);  // releases the lock too
    Fd = -1;
    Growing = false;
    ExactSize = Reserved = 0;
    return error;
}

void TFile::GrowAhead() {
    if (Fd >= 0) Growing = true;
}

void TFile::Unmap() {
    if (Map != nullptr) ::munmap(Map, static_cast<std::size_t>(MapLength));
    Map = nullptr;
    MapLength = 0;
    ReleaseMark = 0;
}

void TFile::ReleaseBehind(std::uint64_t end) {
    // The first page holds the header, rewritten on every record; the last unit is being filled.
    const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    const std::uint64_t from = page;
    const std::uint64_t to = end > kGrowUnit ? (end - kGrowUnit) / page * page : 0;
    if (to > from) ::madvise(Map + from, static_cast<std::size_t>(to - from), MADV_DONTNEED);
    ReleaseMark = end + kReleaseEvery;
}

bool TFile::Reserve(std::uint64_t end) {
    if (InjectedFault(foWrite)) return false;
    const std::uint64_t step = std::max(kMinGrowStep, ExactSize / 4);
    std::uint64_t target =
        (std::max(end, ExactSize + step) + kGrowUnit - 1) / kGrowUnit * kGrowUnit;
    int error =
        ::posix_fallocate(Fd, static_cast<off_t>(Reserved), static_cast<off_t>(target - Reserved));
    if (error != 0 && !CannotReserveHere(error)) {
        // Near a full disk or a size limit the large step may fail where the write itself fits.
        target = end;
        error = ::posix_fallocate(Fd, static_cast<off_t>(Reserved),
                                  static_cast<off_t>(target - Reserved));
    }
    if (error != 0) {
        // A failed reservation may still have lengthened the file: Close cuts that off as well.
        Reserved = std::max(Reserved, SizeOf(Fd));
        if (!CannotReserveHere(error)) {
            errno = error;
            return false;
        }
        Unmap();
        Growing = false;
        return true;
    }
    Reserved = target;
    void* map = Map == nullptr ? ::mmap(nullptr, static_cast<std::size_t>(target),
                                        PROT_READ | PROT_WRITE, MAP_SHARED, Fd, 0)
                               : ::mremap(Map, static_cast<std::size_t>(MapLength),
                                          static_cast<std::size_t>(target), MREMAP_MAYMOVE);
    if (map == MAP_FAILED) {
        // Without a mapping the reserved space is written in place all the same.
        Unmap();
        Growing = false;
        return true;
    }
    Map = static_cast<char*>(map);
    MapLength = target;
    return true;
}

bool TFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
    if (Fd < 0 || InjectedFault(foRead)) return false;
    const std::uint64_t end = offset + count;
    // The reserved zeros past the exact size are not part of the file.
    if (Reserved > ExactSize && end > ExactSize) return false;
    if (Map != nullptr && end <= MapLength) {
        std::memcpy(buffer, Map + offset, count);
        return true;
    }
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
    const std::uint64_t end = offset + count;
    if (Growing && end > Reserved && end > GrowThreshold.load(std::memory_order_relaxed) &&
        !Reserve(end)) {
        return false;
    }
    if (Map != nullptr && end <= MapLength) {
        // A store into the mapping, unlike a write call, can be cut short by a kill. The first
        // byte goes last: a write that starts where the file's end marker stands (a new record
        // and the marker after it) only replaces that marker once everything behind it is there,
        // so a reader never meets a record half made of the reserved zeros.
        const auto* in = static_cast<const char*>(buffer);
        if (count > 1) std::memcpy(Map + offset + 1, in + 1, count - 1);
        std::atomic_thread_fence(std::memory_order_release);
        if (count > 0) std::atomic_ref<char>(Map[offset]).store(in[0], std::memory_order_relaxed);
        // Keeps the stores of successive writes in call order (x86 keeps them so for other
        // CPUs): a record lands before the header count that covers it.
        std::atomic_thread_fence(std::memory_order_release);
        if (end > ReleaseMark) ReleaseBehind(end);
    } else {
        const auto* in = static_cast<const char*>(buffer);
        for (std::uint64_t at = offset; count > 0;) {
            ssize_t n = ::pwrite(Fd, in, count, static_cast<off_t>(at));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            in += n;
            at += static_cast<std::uint64_t>(n);
            count -= static_cast<std::size_t>(n);
        }
        Reserved = std::max(Reserved, end);
    }
    ExactSize = std::max(ExactSize, end);
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

void SetGrowAheadThreshold(std::uint64_t bytes) {
    GrowThreshold.store(bytes == 0 ? kGrowAheadThreshold : bytes, std::memory_order_relaxed);
}

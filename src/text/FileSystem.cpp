#include "text/FileSystem.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <ctime>

#include "text/FilePlatform.h"

// TFile above the platform's calls: the fault gate, the exact size and the grow-ahead mapping.

namespace {

std::atomic<IFileFaultHook*> FaultHook{nullptr};
std::atomic<std::uint64_t> GrowThreshold{kGrowAheadThreshold};
std::atomic<bool> FlushesSkipped{false};

// Growth of a grown-ahead file: at least 8 MiB or a quarter of its size, whole MiBs, so a table
// of a million records is grown a dozen times rather than a million.
constexpr std::uint64_t kMinGrowStep = std::uint64_t{8} << 20;
constexpr std::uint64_t kGrowUnit = std::uint64_t{1} << 20;
// Mapped pages behind the write point are let go every so many bytes: they stay in the page
// cache but not in this process's memory, and their writing to the disk starts, so that the
// flush at the end waits for the last few megabytes rather than the whole file.
constexpr std::uint64_t kReleaseEvery = std::uint64_t{8} << 20;

// The gate every read and write passes before it reaches the platform: true when the installed
// hook fails this one.
bool FaultInjected(TFileOp op) {
    IFileFaultHook* hook = FaultHook.load(std::memory_order_acquire);
    if (hook == nullptr || !hook->Fails(op)) return false;
    FilePlatform::SetError(kFileIoError);
    return true;
}

}  // namespace

bool DeleteFileAt(const std::string& path) {
    if (FaultInjected(foDelete)) return false;
    const int error = FilePlatform::Delete(path);
    FilePlatform::SetError(error);
    return error == 0;
}

int CheckReplaceable(const std::string& path) {
    return FilePlatform::CheckReplaceable(path);
}

int MoveFileReplacing(const std::string& from, const std::string& to) {
    if (FaultInjected(foMove)) return kFileIoError;
    return FilePlatform::Move(from, to);
}

int FlushFolder(const std::string& folder) {
    if (FaultInjected(foFlush)) return kFileIoError;
    if (FlushesSkipped.load(std::memory_order_relaxed)) return 0;
    return FilePlatform::FlushFolder(folder);
}

TLocalDate LocalDate() {
    // Every record written asks for the date: the calendar is consulted once a second at most.
    thread_local std::time_t cachedAt = -1;
    thread_local TLocalDate cached{};
    const std::time_t now = FilePlatform::Now();
    if (now != cachedAt) {
        cached = FilePlatform::Today(now);
        cachedAt = now;
    }
    return cached;
}

TFile::~TFile() {
    Close();
}

TFile::TFile(TFile&& other) noexcept
    : Handle(other.Handle),
      Growing(other.Growing),
      Tight(other.Tight),
      ExactSize(other.ExactSize),
      Reserved(other.Reserved),
      Map(other.Map),
      MapLength(other.MapLength),
      ReleaseMark(other.ReleaseMark) {
    other.Handle = kNoFileHandle;
    other.Growing = other.Tight = false;
    other.Map = nullptr;
    other.MapLength = other.ExactSize = other.Reserved = other.ReleaseMark = 0;
}

TFile& TFile::operator=(TFile&& other) noexcept {
    if (this != &other) {
        Close();
        std::swap(Handle, other.Handle);
        std::swap(Growing, other.Growing);
        std::swap(Tight, other.Tight);
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
    ExactSize = Reserved = 0;
    if (FaultInjected(foCreate)) return kFileIoError;
    return FilePlatform::Open(path, FilePlatform::omCreate, Handle);
}

int TFile::Open(const std::string& path, bool exclusive) {
    Close();
    const int error = FilePlatform::Open(
        path, exclusive ? FilePlatform::omExclusive : FilePlatform::omShared, Handle);
    if (error == 0) ExactSize = Reserved = FilePlatform::Size(Handle);
    return error;
}

int TFile::OpenRead(const std::string& path) {
    Close();
    const int error = FilePlatform::Open(path, FilePlatform::omRead, Handle);
    if (error == 0) ExactSize = Reserved = FilePlatform::Size(Handle);
    return error;
}

int TFile::Close() {
    if (!IsOpen()) return 0;
    Unmap();
    int error = 0;
    if (Reserved > ExactSize) {
        error = FaultInjected(foWrite) ? kFileIoError : FilePlatform::Truncate(Handle, ExactSize);
    }
    FilePlatform::Close(Handle);
    Handle = kNoFileHandle;
    Growing = Tight = false;
    ExactSize = Reserved = 0;
    return error;
}

int TFile::Flush() {
    if (!IsOpen()) return 0;
    if (FaultInjected(foFlush)) return kFileIoError;
    if (FlushesSkipped.load(std::memory_order_relaxed)) return 0;
    if (Map != nullptr) {
        if (const int error = FilePlatform::SyncMap(Map, MapLength); error != 0) return error;
    }
    if (Reserved > ExactSize) {
        // The reserved zeros go before the size is made durable; Windows cuts no mapped file.
        Unmap();
        if (FaultInjected(foWrite)) return kFileIoError;
        if (const int error = FilePlatform::Truncate(Handle, ExactSize); error != 0) return error;
        Reserved = ExactSize;
    }
    return FilePlatform::Sync(Handle);
}

void TFile::GrowAhead() {
    if (IsOpen()) Growing = true;
}

void TFile::Unmap() {
    if (Map != nullptr) FilePlatform::Unmap(Map, MapLength);
    Map = nullptr;
    MapLength = 0;
    ReleaseMark = 0;
}

void TFile::ReleaseBehind(std::uint64_t end) {
    // The first page holds the header, rewritten on every record; the last unit is being filled.
    const std::uint64_t page = FilePlatform::PageSize();
    const std::uint64_t from = page;
    const std::uint64_t to = end > kGrowUnit ? (end - kGrowUnit) / page * page : 0;
    if (to > from) {
        FilePlatform::Release(Map + from, to - from);
        if (!FlushesSkipped.load(std::memory_order_relaxed))
            FilePlatform::WriteBack(Handle, from, to - from);
    }
    ReleaseMark = end + kReleaseEvery;
}

bool TFile::Reserve(std::uint64_t end) {
    if (FaultInjected(foWrite)) return false;
    std::uint64_t target = end;
    if (!Tight) {
        const std::uint64_t step = std::max(kMinGrowStep, ExactSize / 4);
        target = (std::max(end, ExactSize + step) + kGrowUnit - 1) / kGrowUnit * kGrowUnit;
    }
    int error = FilePlatform::Reserve(Handle, Reserved, target - Reserved);
    if (error != 0 && target > end && !FilePlatform::CannotReserve(error)) {
        // Near a full disk or a size limit the large step may fail where the write itself fits:
        // from here on the file grows by what each write needs. What the failed step may have
        // added is given back first; not every system cuts a mapped file, so the mapping goes
        // and is made again below.
        Tight = true;
        Unmap();
        error = FilePlatform::Truncate(Handle, Reserved);
        target = end;
        if (error == 0) error = FilePlatform::Reserve(Handle, Reserved, target - Reserved);
    }
    if (error != 0) {
        // A failed reservation may still have lengthened the file: Close cuts that off as well.
        Reserved = std::max(Reserved, FilePlatform::Size(Handle));
        if (!FilePlatform::CannotReserve(error)) {
            FilePlatform::SetError(error);
            return false;
        }
        Unmap();
        Growing = false;
        return true;
    }
    Reserved = target;
    char* map = FilePlatform::Map(Handle, Map, MapLength, target);
    if (map == nullptr) {
        // Without a mapping the reserved space is written in place all the same.
        Unmap();
        Growing = false;
        return true;
    }
    Map = map;
    MapLength = target;
    return true;
}

bool TFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
    if (!IsOpen() || FaultInjected(foRead)) return false;
    const std::uint64_t end = offset + count;
    // The reserved zeros past the exact size are not part of the file.
    if (Reserved > ExactSize && end > ExactSize) return false;
    if (Map != nullptr && end <= MapLength) {
        std::memcpy(buffer, Map + offset, count);
        return true;
    }
    return FilePlatform::ReadAt(Handle, offset, buffer, count);
}

bool TFile::WriteAt(std::uint64_t offset, const void* buffer, std::size_t count) {
    if (!IsOpen() || FaultInjected(foWrite)) return false;
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
        if (!FilePlatform::WriteAt(Handle, offset, buffer, count)) return false;
        Reserved = std::max(Reserved, end);
    }
    ExactSize = std::max(ExactSize, end);
    return true;
}

std::ptrdiff_t TFile::Read(void* buffer, std::size_t count) {
    if (!IsOpen() || FaultInjected(foRead)) return -1;
    return FilePlatform::Read(Handle, buffer, count);
}

int LastFileError() {
    return FilePlatform::LastError();
}

void SetFileFaultHook(IFileFaultHook* hook) {
    FaultHook.store(hook, std::memory_order_release);
}

void SetFlushesSkipped(bool skip) {
    FlushesSkipped.store(skip, std::memory_order_relaxed);
}

void SetGrowAheadThreshold(std::uint64_t bytes) {
    GrowThreshold.store(bytes == 0 ? kGrowAheadThreshold : bytes, std::memory_order_relaxed);
}

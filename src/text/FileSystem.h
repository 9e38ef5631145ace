#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>

// The one place where the program meets the file system. It gives the Windows services the
// program expects: files created or opened without sharing or with sharing (Windows share modes;
// on POSIX an exclusive or a shared lock), both taken without waiting, so an exclusive opener
// fails while anyone else holds the file and any opener fails while someone holds it without
// sharing, in this process or another.
//
// Error numbers are the platform's own: errno values on POSIX, GetLastError() values on Windows.
// SysErrorMessage gives the system's text for either.

#ifdef _WIN32
inline constexpr char kPathDelimiter = '\\';
// ERROR_SHARING_VIOLATION and ERROR_IO_DEVICE (checked against the system headers).
inline constexpr int kFileInUse = 32;
inline constexpr int kFileIoError = 1117;
#else
inline constexpr char kPathDelimiter = '/';
inline constexpr int kFileInUse = EBUSY;
inline constexpr int kFileIoError = EIO;
#endif
// kFileInUse: an open refused because another opener holds the file in a way that excludes it.
// kFileIoError: a read or write that failed at the fault hook (an I/O error).

// Whether `c` ends a folder in a path: the platform's delimiter, and on Windows also "/", which
// a person may type there as well.
constexpr bool IsPathDelimiter(char c) {
    return c == kPathDelimiter || c == '/';
}

// Whether a regular file (not a folder) exists under `path`.
bool FileExists(const std::string& path);

// Whether a folder exists under `path`.
bool DirectoryExists(const std::string& path);

// Deletes a file. Fails (false) when it is held by an opener, as on Windows.
bool DeleteFileAt(const std::string& path);

// Whether the file at `path` could be replaced now: 0 when nobody holds it open (or it does not
// exist), else the error number (kFileInUse while another opener holds it). Nothing is changed.
// On Windows the file is opened for deletion without sharing; on POSIX its lock is taken.
int CheckReplaceable(const std::string& path);

// Moves the file `from` over `to` in one step, replacing an older `to`: 0, or the error number,
// with both files as they were. Refused, as on Windows, while another opener holds `to`. On
// Windows the move is written through to the disk before it returns.
int MoveFileReplacing(const std::string& from, const std::string& to);

// Writes a folder's entries (files created, moved or deleted in it) to the disk: 0, or the error
// number. Where the system writes them with each move already (Windows), nothing is left to do.
int FlushFolder(const std::string& folder);

// The absolute, lexically normalised form of `path` (relative to the current folder).
std::string ExpandFileName(const std::string& path);

// The file name part of a path: after its last delimiter (and on Windows after a drive's ":").
std::string ExtractFileName(const std::string& path);

// The system's text for an error number, without a final full stop or line break, so that it
// can end a message as the standard error display expects.
std::string SysErrorMessage(int error);

// The error number of the last failed read or write of a TFile on this thread (also of a failed
// growth, and of a read or write failed by the fault hook).
int LastFileError();

// A platform's handle of an open file: a descriptor on POSIX, a HANDLE on Windows. Both fit,
// and both use -1 for none.
using TFileHandle = std::intptr_t;
inline constexpr TFileHandle kNoFileHandle = -1;

struct TLocalDate {
    int Year;
    int Month;
    int Day;
};

// Today's date in local time.
TLocalDate LocalDate();

// An open file; move-only, closed (and unlocked) when destroyed.
class TFile {
  public:
    TFile() = default;
    ~TFile();
    TFile(TFile&& other) noexcept;
    TFile& operator=(TFile&& other) noexcept;
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    // Creates the file for reading and writing with no sharing, replacing an existing one (which
    // is emptied only once the lock is held). Returns 0, or the error number.
    int Create(const std::string& path);

    // Opens an existing file for reading and writing; `exclusive` takes it without sharing.
    // Returns 0, or the error number (kFileInUse when it is held elsewhere).
    int Open(const std::string& path, bool exclusive);

    // Opens a file for reading, sharing it with other readers. Returns 0, or the error number.
    int OpenRead(const std::string& path);

    bool IsOpen() const { return Handle != kNoFileHandle; }
    // Closes the file; one that was grown ahead is first cut to its exact size (see GrowAhead).
    // Returns 0, or the error number of that cut; the file is closed either way.
    int Close();

    // Writes everything written so far to the disk, the file's exact size included (the space
    // reserved ahead is cut off first): 0, or the error number. Later writes grow it again.
    int Flush();

    // Positioned transfers; true only when every byte was transferred.
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count);
    bool WriteAt(std::uint64_t offset, const void* buffer, std::size_t count);

    // For a file opened for writing that grows at its end (a table being filled): once a write
    // reaches past the grow-ahead threshold, the file is reserved ahead in large steps (so a full
    // disk fails that growth as a write error, never a later store) and mapped shared, and writes
    // become stores into the mapping, visible to every other reader at once and kept by the
    // system if this process dies. Reads and writes keep their meaning: the file's exact size is
    // the furthest byte written (or its size when opened), reads past it fail, and Close cuts the
    // reserved tail of zeros off. Each growth counts as one write at the fault gate.
    void GrowAhead();
    // The file's exact size as this opener knows it (meaningful after GrowAhead).
    std::uint64_t Size() const { return ExactSize; }

    // Sequential read: the bytes read, 0 at the end, -1 on failure (LastFileError tells why).
    std::ptrdiff_t Read(void* buffer, std::size_t count);

  private:
    bool Reserve(std::uint64_t end);  // grows the reservation and the mapping to cover `end`
    void Unmap();
    void ReleaseBehind(std::uint64_t end);  // lets go of mapped pages well behind `end`

    TFileHandle Handle = kNoFileHandle;
    bool Growing = false;         // GrowAhead was asked for and still works on this file
    bool Tight = false;           // a large step found no room: growth is by each write's need
    std::uint64_t ExactSize = 0;  // furthest byte written, or the size when opened
    std::uint64_t Reserved = 0;   // the file's length on disk: ExactSize plus the reserved tail
    char* Map = nullptr;          // the shared mapping of [0, MapLength), or none
    std::uint64_t MapLength = 0;
    std::uint64_t ReleaseMark = 0;  // the write end past which ReleaseBehind runs next
};

// Test seam: every read and every file-changing call of the file layer, on any platform, first
// asks the installed hook whether it fails; a failed one changes nothing and reports
// kFileIoError. Reads are ReadAt and Read; the growth of a grown-ahead file and the cut of its
// reserved tail are writes. A hook may also end the process there, which is how a crash just
// before any file-changing call is reached.
enum TFileOp : std::uint8_t {
    foRead,
    foWrite,
    foCreate,  // TFile::Create
    foMove,    // MoveFileReplacing
    foDelete,  // DeleteFileAt
    foFlush,   // TFile::Flush, FlushFolder
};
inline constexpr int kFileOpCount = 6;

class IFileFaultHook {
  public:
    virtual ~IFileFaultHook() = default;
    // Whether this operation fails; asked once per operation, on the thread that makes it.
    virtual bool Fails(TFileOp op) = 0;
};

// Installs `hook` for every file of the process, or none (nullptr, the default).
void SetFileFaultHook(IFileFaultHook* hook);

// Test switch: the size a file must pass before GrowAhead maps it (kGrowAheadThreshold unless
// set; 0 restores that), so that small test files can take the mapped path too.
inline constexpr std::uint64_t kGrowAheadThreshold = std::uint64_t{256} << 10;
void SetGrowAheadThreshold(std::uint64_t bytes);

// Benchmark switch: with `skip` set, Flush and FlushFolder return at once, having passed the
// fault gate, so a benchmark can tell what flushing costs. Never set by the programs.
void SetFlushesSkipped(bool skip);

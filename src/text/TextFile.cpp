#include "text/TextFile.h"

#include <cstring>
#include <limits>
#include <stdexcept>

#include "text/FileSystem.h"

namespace {

constexpr std::size_t kChunk = std::size_t{1} << 20;

std::runtime_error CannotOpen(const std::string& path, int error) {
    return std::runtime_error("Cannot open file \"" + ExpandFileName(path) + "\". " +
                              SysErrorMessage(error));
}

// The next byte equal to c at or after p, or end.
const char* FindByte(const char* p, const char* end, char c) {
    if (p == end) return end;  // also an empty list's null buffer, which memchr must not see
    const void* hit = std::memchr(p, c, static_cast<std::size_t>(end - p));
    return hit == nullptr ? end : static_cast<const char*>(hit);
}

}  // namespace

void TLineList::LoadFromFile(const std::string& path) {
    Clear();
    TFile file;
    if (int error = file.OpenRead(path); error != 0) throw CannotOpen(path, error);

    // Reserving the file's size up front lets the bytes land in place: the buffer never has to
    // grow (and be copied) while a large file streams in. The size is only a hint; devices and
    // growing files are read to their end all the same.
    if (file.Size() < std::numeric_limits<std::size_t>::max() / 2) {
        Reserve(static_cast<std::size_t>(file.Size()) + 1);
    }

    for (;;) {
        if (Size == Capacity) Reserve(Capacity < kChunk ? kChunk : Capacity * 2);
        const std::size_t room = Capacity - Size;
        const std::size_t want = room < kChunk ? room : kChunk;
        std::ptrdiff_t got = file.Read(Buffer.get() + Size, want);
        if (got < 0) {
            int error = LastFileError();
            Clear();
            throw CannotOpen(path, error);
        }
        if (got == 0) break;
        // A byte 0 ends the text: nothing after it is kept or read.
        const char* chunk = Buffer.get() + Size;
        const char* zero = FindByte(chunk, chunk + got, '\0');
        Size += static_cast<std::size_t>(got);
        if (zero != chunk + got) {
            Size = static_cast<std::size_t>(zero - Buffer.get());
            break;
        }
    }
    SplitLines();
}

void TLineList::LoadFromBytes(std::string_view bytes) {
    Clear();
    bytes = bytes.substr(0, bytes.find('\0'));
    Reserve(bytes.size());
    if (!bytes.empty()) std::memcpy(Buffer.get(), bytes.data(), bytes.size());
    Size = bytes.size();
    SplitLines();
}

void TLineList::Clear() {
    Buffer.reset();
    Size = 0;
    Capacity = 0;
    std::vector<TSpan>().swap(Spans);
}

void TLineList::Reserve(std::size_t capacity) {
    if (capacity <= Capacity) return;
    // Default-initialised: the pages stay untouched until the bytes are read into them.
    std::unique_ptr<char[]> grown(new char[capacity]);
    if (Size > 0) std::memcpy(grown.get(), Buffer.get(), Size);
    Buffer = std::move(grown);
    Capacity = capacity;
}

void TLineList::SplitLines() {
    Spans.clear();
    // Room for lines of 24 bytes on average: report lines are longer, so the list is filled
    // without being copied as it grows, and the room never used is never touched.
    Spans.reserve(Size / 24 + 1);
    const char* begin = Buffer.get();
    const char* end = begin + Size;
    const char* p = begin;
    // The next CR and the next LF are searched apart, each only once it has been passed, so a
    // file with LF breaks only is scanned for CR once.
    const char* nextCr = FindByte(p, end, '\r');
    const char* nextLf = FindByte(p, end, '\n');
    while (p < end) {
        if (nextCr < p) nextCr = FindByte(p, end, '\r');
        if (nextLf < p) nextLf = FindByte(p, end, '\n');
        const char* lineEnd = nextCr < nextLf ? nextCr : nextLf;
        Spans.push_back(
            {static_cast<std::size_t>(p - begin), static_cast<std::size_t>(lineEnd - p)});
        if (lineEnd == end) break;
        p = lineEnd + 1;
        if (*lineEnd == '\r' && p < end && *p == '\n') ++p;
    }
}

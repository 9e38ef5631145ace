#include "text/TextFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "text/FileSystem.h"

namespace {

constexpr std::size_t kChunk = std::size_t{1} << 20;

std::runtime_error CannotOpen(const std::string& path, int error) {
    return std::runtime_error("Cannot open file \"" + ExpandFileName(path) + "\". " +
                              SysErrorMessage(error));
}

// The next byte equal to c at or after p, or end.
const char* FindByte(const char* p, const char* end, char c) {
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
    std::error_code ec;
    std::uintmax_t expected = std::filesystem::file_size(path, ec);
    if (!ec && expected < Buffer.max_size()) Buffer.reserve(static_cast<std::size_t>(expected) + 1);

    for (;;) {
        std::size_t used = Buffer.size();
        std::size_t room = Buffer.capacity() - used;
        std::size_t want = room > 0 ? (room < kChunk ? room : kChunk) : kChunk;
        Buffer.resize(used + want);
        std::ptrdiff_t got = file.Read(Buffer.data() + used, want);
        if (got < 0) {
            int error = errno;
            Clear();
            throw CannotOpen(path, error);
        }
        Buffer.resize(used + static_cast<std::size_t>(got));
        if (got == 0) break;
        // A byte 0 ends the text: nothing after it is kept or read.
        const char* chunk = Buffer.data() + used;
        const char* zero = FindByte(chunk, chunk + got, '\0');
        if (zero != chunk + got) {
            Buffer.resize(static_cast<std::size_t>(zero - Buffer.data()));
            break;
        }
    }
    SplitLines();
}

void TLineList::LoadFromBytes(std::string_view bytes) {
    Clear();
    Buffer.assign(bytes.substr(0, bytes.find('\0')));
    SplitLines();
}

void TLineList::Clear() {
    std::string().swap(Buffer);
    std::vector<TSpan>().swap(Spans);
}

void TLineList::SplitLines() {
    Spans.clear();
    const char* begin = Buffer.data();
    const char* end = begin + Buffer.size();
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

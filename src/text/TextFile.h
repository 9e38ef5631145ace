#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A text file read whole into lines. A line ends at CR LF, a lone LF or a lone CR; a final line
// without a break counts; a byte 0 ends the text (nothing after it is read). Lines are bytes, no
// conversion. The file's bytes are held once; lines are views into them.
class TLineList {
  public:
    // Replaces the contents with the lines of the file at `path`. Throws std::runtime_error
    // "Cannot open file "<full path>". <system error text>" when the file cannot be read; the
    // list is then empty.
    void LoadFromFile(const std::string& path);

    // Replaces the contents with the lines of `bytes` (the same rules as a file).
    void LoadFromBytes(std::string_view bytes);

    TLineList() = default;
    // A list moved from is left empty.
    TLineList(TLineList&& other) noexcept { *this = std::move(other); }
    TLineList& operator=(TLineList&& other) noexcept {
        Buffer = std::move(other.Buffer);
        Size = std::exchange(other.Size, 0);
        Capacity = std::exchange(other.Capacity, 0);
        Spans = std::move(other.Spans);
        other.Spans.clear();
        return *this;
    }

    void Clear();
    std::size_t Count() const { return Spans.size(); }
    std::string_view operator[](std::size_t i) const {
        return std::string_view(Buffer.get() + Spans[i].Offset, Spans[i].Length);
    }

  private:
    struct TSpan {
        std::size_t Offset;
        std::size_t Length;
    };
    void SplitLines();
    void Reserve(std::size_t capacity);

    // Not a std::string: its resize would zero every byte just before the file's bytes land there.
    std::unique_ptr<char[]> Buffer;
    std::size_t Size = 0;
    std::size_t Capacity = 0;
    std::vector<TSpan> Spans;
};

#include "text/Trim.h"

namespace {

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

}  // namespace

std::string_view Trim(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && IsBlankOrControl(text[first])) ++first;
    return TrimRight(text.substr(first));
}

std::string_view TrimRight(std::string_view text) {
    std::size_t length = text.size();
    while (length > 0 && IsBlankOrControl(text[length - 1])) --length;
    return text.substr(0, length);
}

std::string_view TrimmedColumns(std::string_view line, std::size_t first, std::size_t last) {
    return Trim(line.substr(first - 1, last - first + 1));
}

#include "text/WindowsPath.h"

#include <vector>

#include "text/Utf16.h"

namespace {

constexpr bool IsDelimiter(char c) {
    return c == '\\' || c == '/';
}

constexpr bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "\\?\" and "\\.\", and the system's own "\??\".
bool IsPrefixedForm(std::string_view path) {
    if (path.size() < 4 || !IsDelimiter(path[0]) || !IsDelimiter(path[3])) return false;
    return (IsDelimiter(path[1]) && (path[2] == '?' || path[2] == '.')) ||
           (path[1] == '?' && path[2] == '?');
}

bool IsDrivePath(std::string_view path) {
    return path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && IsDelimiter(path[2]);
}

bool IsSharePath(std::string_view path) {
    return path.size() >= 3 && IsDelimiter(path[0]) && IsDelimiter(path[1]) &&
           !IsDelimiter(path[2]) && !IsPrefixedForm(path);
}

// The next name of `rest` (up to a delimiter or the end), taken off its front.
std::string_view NextName(std::string_view& rest) {
    std::size_t end = 0;
    while (end < rest.size() && !IsDelimiter(rest[end])) ++end;
    const std::string_view name = rest.substr(0, end);
    rest.remove_prefix(end < rest.size() ? end + 1 : end);
    return name;
}

// The names below a root, normalised the way the system does before it opens a path.
std::string NormalisedNames(std::string_view rest) {
    const bool endsInDelimiter = !rest.empty() && IsDelimiter(rest.back());
    bool endsInDots = false;
    std::vector<std::string> names;
    while (!rest.empty()) {
        const std::string_view name = NextName(rest);
        endsInDots = name == "." || name == "..";
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (!names.empty()) names.pop_back();
            continue;
        }
        names.emplace_back(name);
    }
    for (std::string& name : names) {
        if (name.size() >= 2 && name.back() == '.' && name[name.size() - 2] != '.') name.pop_back();
    }
    if (!names.empty() && !endsInDelimiter && !endsInDots) {
        std::string& last = names.back();
        while (!last.empty() && (last.back() == '.' || last.back() == ' ')) last.pop_back();
        if (last.empty()) names.pop_back();
    }
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : "\\") + name;
    if (!joined.empty() && endsInDelimiter) joined += '\\';
    return joined;
}

}  // namespace

bool IsFullWindowsPath(std::string_view path) {
    return IsDrivePath(path) || IsSharePath(path) || IsPrefixedForm(path);
}

std::optional<std::string> ExtendedLengthPath(std::string_view path) {
    if (Utf8ToUtf16(path).size() < kMaxPathUnits) return std::nullopt;
    if (IsDrivePath(path)) {
        return "\\\\?\\" + std::string(path.substr(0, 2)) + "\\" + NormalisedNames(path.substr(3));
    }
    if (!IsSharePath(path)) return std::nullopt;
    std::string_view rest = path.substr(2);
    const std::string_view server = NextName(rest);
    const std::string_view share = NextName(rest);
    // "\\server" alone names no share: the system has nothing to open there either.
    if (share.empty()) return std::nullopt;
    const std::string names = NormalisedNames(rest);
    return "\\\\?\\UNC\\" + std::string(server) + "\\" + std::string(share) +
           (names.empty() ? "" : "\\" + names);
}

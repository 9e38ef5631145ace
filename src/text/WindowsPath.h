#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Windows paths past the system's length limit. Plain text rules, so they run, and are tested, on
// every platform; the Windows half of the file layer applies them. Paths are UTF-8.

// MAX_PATH: a path passed to the system in the usual form holds fewer UTF-16 units than this
// (the count includes the terminating null).
inline constexpr std::size_t kMaxPathUnits = 260;

// Whether `path` names its place without the current folder or drive: a drive's "C:\...", a
// share's "\\server\share\...", or a "\\?\" or "\\.\" form ("/" counts as a delimiter too).
bool IsFullWindowsPath(std::string_view path);

// The extended-length form of a full path that reaches the limit: "\\?\C:\..." for a drive's,
// "\\?\UNC\server\share\..." for a share's. As that form is taken as it stands, the path is first
// normalised as the system would have done: "/" becomes "\", repeated delimiters merge, "." and
// ".." are resolved (never above the drive's root or the share), a name ending in one dot loses
// it and the last name loses its trailing dots and blanks. Nothing for a path that is shorter, is
// not full, or is already in a "\\?\" or "\\.\" form: it goes to the system as it is.
std::optional<std::string> ExtendedLengthPath(std::string_view path);

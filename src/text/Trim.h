#pragma once

#include <string_view>

// Removes every leading and trailing character whose code is 32 or less.
std::string_view Trim(std::string_view text);

// Removes every trailing character whose code is 32 or less.
std::string_view TrimRight(std::string_view text);

// Columns `first`..`last` of a fixed-column report line (1-based, both ends included), trimmed.
// The line must reach `first`; a shorter tail is taken as it is.
std::string_view TrimmedColumns(std::string_view line, std::size_t first, std::size_t last);

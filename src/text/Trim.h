#pragma once

#include <string_view>

// Removes every leading and trailing character whose code is 32 or less.
std::string_view Trim(std::string_view text);

// Removes every trailing character whose code is 32 or less.
std::string_view TrimRight(std::string_view text);

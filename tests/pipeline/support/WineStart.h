#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

// Starts a program with CreateProcessW (no application name: the command line's first argument
// names it). Under Wine, CreateProcessW returns only once the child's process has reported its
// start-up done, before the loader runs any of the program; on a loaded machine the child's
// process now and then ends before that, and CreateProcessW fails with ERROR_INTERNAL_ERROR. That
// one failure is started once more and said on stderr with kStartedOnceMore (the test run counts
// the lines); every other failure is the caller's, with GetLastError as CreateProcessW left it.
inline constexpr const char* kStartedOnceMore = "wine start-up ended before the program ran";

bool StartProcess(const std::wstring& commandLine, bool inheritHandles, const wchar_t* folder,
                  STARTUPINFOW& startup, PROCESS_INFORMATION& process);
#endif

#include <signal.h>
#include <unistd.h>

#include <cstdio>

#include "cli/Console.h"

namespace {

std::FILE* File(TStream stream) {
    return stream == stOut ? stdout : stderr;
}

}  // namespace

void PrepareProcess() {
    // A file size limit must end a write with an error the export reports, not kill the process.
    ::signal(SIGXFSZ, SIG_IGN);
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool IsConsole(TStream stream) {
    return ::isatty(stream == stOut ? STDOUT_FILENO : STDERR_FILENO) != 0;
}

void WriteText(TStream stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), File(stream));
    std::fflush(File(stream));
}

void ShowStatusLine(std::string_view text) {
    // "\033[K" clears what a longer earlier line left to the right.
    std::fputs("\r", stderr);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputs("\033[K", stderr);
    std::fflush(stderr);
}

void ClearStatusLine() {
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
}

#include "ChildProcess.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "TestPlatform.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <tlhelp32.h>

#include "WineStart.h"
#include "text/Utf16.h"
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

std::filesystem::path MakeCaptureFolder() {
    std::random_device random;
    std::filesystem::path folder;
    do {
        folder = std::filesystem::temp_directory_path() /
                 ("k2l-child-" + std::to_string(random()) + std::to_string(random()));
    } while (!std::filesystem::create_directory(folder));
    return folder;
}

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

TChildProcess::~TChildProcess() {
    if (Started() && !Ended) {
        Kill();
        Reap(true);
    }
    std::error_code ignored;
    if (!Capture.empty()) std::filesystem::remove_all(Capture, ignored);
}

bool TChildProcess::Started() const {
    return Handle != -1;
}

bool TChildProcess::Running() {
    if (Started() && !Ended) Reap(false);
    return Started() && !Ended;
}

TProcessResult TChildProcess::Wait() {
    if (Started() && !Ended) Reap(true);
    if (Started()) {
        Result.Out = ReadWhole(Capture / "stdout");
        Result.Err = ReadWhole(Capture / "stderr");
    }
    return Result;
}

std::string TChildProcess::OutSoFar() const {
    return ReadWhole(Capture / "stdout");
}

bool TChildProcess::WaitForOut(const std::string& text, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (OutSoFar().find(text) == std::string::npos) {
        if (!Running() || std::chrono::steady_clock::now() > end) {
            return OutSoFar().find(text) != std::string::npos;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const TProcessOptions& options) {
    TChildProcess child(program, arguments, options);
    return child.Wait();
}

#ifdef _WIN32

namespace {

// A killed process has no signal on Windows: Kill ends it with this exit code, which tells it
// apart from one that ended by itself.
constexpr UINT kKilledExitCode = 0x4B11;

HANDLE ProcessHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// One argument as the C runtime's (and CommandLineToArgvW's) parsing of a command line gives it
// back: quoted when it is empty or holds blanks or quotes; backslashes count only before a quote.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    return out + L"\"";
}

HANDLE InheritedFile(const std::wstring& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(path.c_str(), access,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Suspends or resumes every thread of the process.
void ForEachThread(DWORD processId, DWORD (*action)(HANDLE)) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot, &entry); more;
         more = ::Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != processId) continue;
        HANDLE thread = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
        if (thread == nullptr) continue;
        action(thread);
        ::CloseHandle(thread);
    }
    ::CloseHandle(snapshot);
}

}  // namespace

bool StartProcess(const std::wstring& commandLine, bool inheritHandles, const wchar_t* folder,
                  STARTUPINFOW& startup, PROCESS_INFORMATION& process) {
    for (int attempt = 0;; ++attempt) {
        std::wstring line = commandLine;  // CreateProcessW may write into it
        if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, inheritHandles, 0, nullptr,
                             folder, &startup, &process))
            return true;
        if (::GetLastError() != ERROR_INTERNAL_ERROR || attempt == 1) return false;
        std::fprintf(stderr, "%s (CreateProcessW: error %lu), started once more: %s\n",
                     kStartedOnceMore, static_cast<unsigned long>(ERROR_INTERNAL_ERROR),
                     Narrow(commandLine).c_str());
        std::fflush(stderr);
    }
}

TChildProcess::TChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                             const TProcessOptions& options)
    : Capture(MakeCaptureFolder()) {
    const std::wstring application = std::filesystem::absolute(PathOf(program)).wstring();
    std::wstring commandLine = Quoted(application);
    for (const std::string& argument : arguments) commandLine += L" " + Quoted(Wide(argument));
    const std::wstring folder = options.WorkingFolder.wstring();

    HANDLE in = InheritedFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
    HANDLE out = InheritedFile((Capture / "stdout").wstring(), GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = InheritedFile((Capture / "stderr").wstring(), GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    if (in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
        StartProcess(commandLine, true, folder.empty() ? nullptr : folder.c_str(), startup,
                     process)) {
        ::CloseHandle(process.hThread);
        Handle = reinterpret_cast<std::intptr_t>(process.hProcess);
    } else {
        // A test's message then tells why, rather than a bare exit code of -1.
        Result.Err = "the program was not started: error " + std::to_string(::GetLastError());
    }
    for (HANDLE handle : {in, out, err})
        if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
}

TChildProcess::TChildProcess(const std::function<int()>&) {}

void TChildProcess::Kill() {
    if (Started() && !Ended) ::TerminateProcess(ProcessHandle(Handle), kKilledExitCode);
}

void TChildProcess::Suspend() {
    if (Started() && !Ended) ForEachThread(::GetProcessId(ProcessHandle(Handle)), ::SuspendThread);
}

void TChildProcess::Resume() {
    if (Started() && !Ended) ForEachThread(::GetProcessId(ProcessHandle(Handle)), ::ResumeThread);
}

void TChildProcess::Reap(bool block) {
    if (::WaitForSingleObject(ProcessHandle(Handle), block ? INFINITE : 0) != WAIT_OBJECT_0) return;
    DWORD code = 0;
    ::GetExitCodeProcess(ProcessHandle(Handle), &code);
    ::CloseHandle(ProcessHandle(Handle));
    Ended = true;
    Result.Killed = code == kKilledExitCode;
    Result.Exit = Result.Killed ? -1 : static_cast<int>(code);
}

#else

namespace {

// In the child: stdin from /dev/null, stdout and stderr into the capture files. Only
// async-signal-safe calls, as the parent may have other threads.
bool RedirectStandardStreams(const char* out, const char* err) {
    int in = ::open("/dev/null", O_RDONLY);
    int o = ::open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int e = ::open(err, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    return in >= 0 && o >= 0 && e >= 0 && ::dup2(in, 0) >= 0 && ::dup2(o, 1) >= 0 &&
           ::dup2(e, 2) >= 0;
}

}  // namespace

TChildProcess::TChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                             const TProcessOptions& options)
    : Capture(MakeCaptureFolder()) {
    const std::string out = (Capture / "stdout").string();
    const std::string err = (Capture / "stderr").string();
    const std::string folder = options.WorkingFolder.string();
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& a : argv) pointers.push_back(a.data());
    pointers.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid != 0) {
        Handle = pid;
        return;
    }
    if (!RedirectStandardStreams(out.c_str(), err.c_str())) ::_exit(126);
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) ::_exit(126);
    if (options.FileSizeLimit > 0) {
        // A write beyond the limit then fails with EFBIG instead of killing the process.
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {};
        limit.rlim_cur = static_cast<rlim_t>(options.FileSizeLimit);
        limit.rlim_max = static_cast<rlim_t>(options.FileSizeLimit);
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(125);
    }
    ::execv(pointers[0], pointers.data());
    ::_exit(127);
}

TChildProcess::TChildProcess(const std::function<int()>& body) : Capture(MakeCaptureFolder()) {
    const std::string out = (Capture / "stdout").string();
    const std::string err = (Capture / "stderr").string();
    const pid_t pid = ::fork();
    if (pid != 0) {
        Handle = pid;
        return;
    }
    if (!RedirectStandardStreams(out.c_str(), err.c_str())) ::_exit(126);
    int exit = 1;
    try {
        exit = body();
    } catch (...) {
    }
    ::_exit(exit);
}

void TChildProcess::Kill() {
    if (Started() && !Ended) ::kill(static_cast<pid_t>(Handle), SIGKILL);
}

void TChildProcess::Suspend() {
    if (Started() && !Ended) ::kill(static_cast<pid_t>(Handle), SIGSTOP);
}

void TChildProcess::Resume() {
    if (Started() && !Ended) ::kill(static_cast<pid_t>(Handle), SIGCONT);
}

void TChildProcess::Reap(bool block) {
    int status = 0;
    pid_t reaped;
    do {
        reaped = ::waitpid(static_cast<pid_t>(Handle), &status, block ? 0 : WNOHANG);
    } while (reaped < 0 && errno == EINTR);
    if (reaped != static_cast<pid_t>(Handle)) return;
    Ended = true;
    if (WIFEXITED(status)) Result.Exit = WEXITSTATUS(status);
    Result.Killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

#endif

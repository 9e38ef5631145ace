#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Another program run by a test, on POSIX (fork and exec, signals) and on Windows
// (CreateProcessW, TerminateProcess): its stdin is empty, and its stdout and stderr go to files of
// its own, which Wait reads back.

// How a child ended and what it wrote.
struct TProcessResult {
    int Exit = -1;        // its exit code; -1 when it was killed or never started
    bool Killed = false;  // ended hard by Kill (SIGKILL; TerminateProcess on Windows)
    std::string Out;      // stdout
    std::string Err;      // stderr
};

struct TProcessOptions {
    std::filesystem::path WorkingFolder;  // empty: this process's
    long FileSizeLimit = 0;  // the largest file the child may write (svFileSizeLimit); 0: none
};

class TChildProcess {
  public:
    // Starts `program` (a path) with `arguments`, each reaching the child as it is given.
    TChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                  const TProcessOptions& options = {});
    // Runs `body` in a forked copy of this process; its result is the exit code. Where svFork is
    // unavailable, nothing is started.
    explicit TChildProcess(const std::function<int()>& body);
    // A child still running is killed and waited for.
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    bool Started() const;
    // Whether it still runs (a suspended child runs); false once it has ended.
    bool Running();
    // Ends it at once, as a crash would: none of its own clean-up runs, and what the system
    // keeps for it (written pages, its shared mappings) stays.
    void Kill();
    // Stops and restarts every thread of it.
    void Suspend();
    void Resume();
    // Waits for its end and collects its outputs.
    TProcessResult Wait();
    // What it has written to stdout so far.
    std::string OutSoFar() const;
    // Waits until its stdout holds `text`: false when it ended or the time ran out before.
    bool WaitForOut(const std::string& text,
                    std::chrono::milliseconds timeout = std::chrono::minutes(1));

  private:
    void Reap(bool block);

    std::filesystem::path Capture;  // folder of the stdout and stderr files
    std::intptr_t Handle = -1;      // the pid on POSIX, the process HANDLE on Windows
    bool Ended = false;
    TProcessResult Result;
};

// Runs `program` to its end.
TProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const TProcessOptions& options = {});

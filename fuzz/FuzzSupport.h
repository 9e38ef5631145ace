#pragma once

// What the fuzz targets share: a private scratch folder (in memory where the system has one) and
// a check that stops the run with a message libFuzzer keeps next to the input that broke it.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "import/RunHost.h"

#define FUZZ_CHECK(condition, what)                                                              \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "\nFUZZ_CHECK failed at %s:%d: %s\n  %s\n", __FILE__, __LINE__, \
                         #condition, std::string(what).c_str());                                 \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)

namespace fuzz {

// One folder per process, removed when the process ends normally.
inline const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        std::string pattern = (base / "k2l-fuzz-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        std::filesystem::path made(buffer.data());
        static const std::filesystem::path remove = made;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(remove, ignored);
        });
        return made;
    }();
    return folder;
}

inline std::string ScratchFile(const std::string& name) {
    return (ScratchFolder() / name).string();
}

inline void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good(), "cannot write " + path);
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The first `count` bytes of a file (fewer when it is shorter).
inline std::string ReadPrefix(const std::string& path, std::size_t count) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

inline std::uint32_t Le(std::string_view bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value =
            value << 8 | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
    return value;
}

// A run host that only counts: every progress display must be terminated exactly once.
class TCountingHost final : public IRunHost {
  public:
    struct TSink final : IProgressSink {
        explicit TSink(TCountingHost& host) : Host(host) {}
        void SetPercent(double percent) override {
            FUZZ_CHECK(Terminations == 0, "progress set after Terminate");
            FUZZ_CHECK(percent >= 0 && percent <= 100, "percent " + std::to_string(percent));
        }
        void Terminate() override {
            ++Terminations;
            ++Host.Terminated;
            FUZZ_CHECK(Terminations == 1, "progress terminated twice");
        }
        TCountingHost& Host;
        int Terminations = 0;
    };

    std::unique_ptr<IProgressSink> CreateProgress(const std::string&, bool) override {
        ++Created;
        return std::make_unique<TSink>(*this);
    }
    void ShowWarning(const std::string&, const std::string&) override { ++Warnings; }
    void ShowInformation(const std::string&, const std::string&) override { ++Informations; }
    void HideCount() override {}
    void ShowCount(const std::string&) override { ++Counts; }
    void ShowResults() override {}

    int Created = 0;
    int Terminated = 0;
    int Warnings = 0;
    int Informations = 0;
    int Counts = 0;
};

inline bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace fuzz

#pragma once

#include <filesystem>
#include <string>

// A temporary folder that removes itself, also when an assertion ends the test early.
class TTempDir {
  public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::filesystem::path& Path() const { return Dir; }
    std::string File(const std::string& name) const { return (Dir / name).string(); }

  private:
    std::filesystem::path Dir;
};

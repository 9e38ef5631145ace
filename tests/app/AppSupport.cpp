#include "AppSupport.h"

#include <random>

TTempDir::TTempDir() {
    std::random_device random;
    Dir = std::filesystem::temp_directory_path() /
          ("k2l-app-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(Dir);
}

TTempDir::~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(Dir, ignored);
}

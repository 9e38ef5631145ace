// The hardware floor of a conversion: read both input files whole, then write two output files
// of the given sizes with one buffered write each.
//   k2l_floor ARTICLE PRINT OUT1 SIZE1 OUT2 SIZE2

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::size_t ReadAll(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return 0;
    std::vector<char> buffer(1 << 20);
    std::size_t total = 0;
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0;) total += n;
    std::fclose(file);
    return total;
}

bool WriteSized(const char* path, std::size_t size) {
    std::string bytes(size, ' ');
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: k2l_floor ARTICLE PRINT OUT1 SIZE1 OUT2 SIZE2\n");
        return 2;
    }
    std::size_t read = ReadAll(argv[1]) + ReadAll(argv[2]);
    bool ok = WriteSized(argv[3], std::strtoull(argv[4], nullptr, 10)) &&
              WriteSized(argv[5], std::strtoull(argv[6], nullptr, 10));
    return ok && read > 0 ? 0 : 1;
}

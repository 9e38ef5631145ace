#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "FileFaultSwitch.h"
#include "TestPlatform.h"
#include "dbf/DBF.h"
#include "text/FileSystem.h"

using TBytes = std::vector<std::uint8_t>;

// A folder of its own for one test, removed with everything in it when the test ends.
class TTempFolder {
  public:
    TTempFolder() {
        std::random_device random;
        do {
            Path = std::filesystem::temp_directory_path() /
                   ("k2l-dbf-" + std::to_string(random()) + std::to_string(random()));
        } while (!std::filesystem::create_directory(Path));
    }
    ~TTempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // The UTF-8 path of `name` in it.
    std::string File(const std::string& name) const { return Utf8Of(Path / PathOf(name)); }

  private:
    std::filesystem::path Path;
};

// The table writer's messages when a record cannot be stored.
inline constexpr const char* kAppend = "Append: Ошибка сохранения записи";
inline constexpr const char* kWriteRecord = "WriteRecord: Ошибка сохранения записи";

inline TBytes ReadBytes(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const TBytes& bytes) {
    std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::string DataFile(const std::string& name) {
    return std::string(K2L_TEST_DATA) + "/" + name;
}

// Copies a fixture into the test's folder (tests may write to it) and returns the copy's path.
inline std::string CopyFixture(const TTempFolder& folder, const std::string& name) {
    std::string path = folder.File(name);
    WriteBytes(path, ReadBytes(DataFile(name)));
    return path;
}

// The bytes of a file as text, for comparing ranges of it.
inline std::string Slice(const TBytes& bytes, std::size_t offset, std::size_t count) {
    if (offset > bytes.size()) return {};
    count = std::min(count, bytes.size() - offset);
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                       bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

// The message of the ED that `action` raises; "(nothing raised)" or the other type's name.
template <typename F>
std::string EdMessage(F&& action) {
    try {
        action();
    } catch (const ED& e) {
        return e.what();
    } catch (const std::exception& e) {
        return std::string("(not ED) ") + e.what();
    }
    return "(nothing raised)";
}

// Names parameterised cases by their Rule member.
struct TRuleName {
    template <typename P>
    std::string operator()(const ::testing::TestParamInfo<P>& param) const {
        return param.param.Rule;
    }
};

struct TFieldSpec {
    const char* Name;
    TFldType Type;
    std::uint8_t Size;
    std::uint8_t Precision;
};

// The goods directory table: header length 257, record length 141.
inline const std::vector<TFieldSpec>& DirectoryFields() {
    static const std::vector<TFieldSpec> fields = {
        {"CATEGORY", fldChar, 20, 0}, {"KOD", fldChar, 15, 0},       {"NAME", fldChar, 50, 0},
        {"NAME2", fldChar, 30, 0},    {"ZPRICE", fldNumeric, 10, 2}, {"RPRICE", fldNumeric, 10, 2},
        {"NDS", fldNumeric, 5, 0}};
    return fields;
}

// The receipt table: header length 225, record length 116.
inline const std::vector<TFieldSpec>& ReceiptFields() {
    static const std::vector<TFieldSpec> fields = {
        {"CATEGORY", fldChar, 20, 0}, {"ID", fldChar, 15, 0},        {"NAME", fldChar, 50, 0},
        {"KOLVO", fldNumeric, 10, 2}, {"ZPRICE", fldNumeric, 10, 2}, {"RPRICE", fldNumeric, 10, 2}};
    return fields;
}

inline void Define(TDBF& table, const std::vector<TFieldSpec>& fields) {
    for (const TFieldSpec& f : fields) table.AddFieldDefs(f.Name, f.Type, f.Size, f.Precision);
}

// Every test starts and ends with the file layer's fault switch off.
class TDbfTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetFileFaults(); }
    void TearDown() override { ResetFileFaults(); }

    // A new table of `fields` at `name` in the test's folder, left Active.
    void Create(TDBF& table, const std::vector<TFieldSpec>& fields, const std::string& name) {
        Define(table, fields);
        table.SetTableName(Folder.File(name));
        table.CreateTable();
    }

    TTempFolder Folder;
};

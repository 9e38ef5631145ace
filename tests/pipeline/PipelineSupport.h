#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TestPlatform.h"
#include "convert/ImportRun.h"
#include "import/RunHost.h"

// Records everything the import run and the export show, so tests can compare it.
class TRecordingHost final : public IRunHost {
  public:
    struct TProgressRecord {
        std::string Caption;
        bool PercentMode = false;
        std::vector<double> Percents;
        int Terminations = 0;
    };

    std::unique_ptr<IProgressSink> CreateProgress(const std::string& caption,
                                                  bool percentMode) override;
    void ShowWarning(const std::string& caption, const std::string& text) override {
        Warnings.push_back(caption + "|" + text);
    }
    void ShowInformation(const std::string& caption, const std::string& text) override {
        Informations.push_back(caption + "|" + text);
    }
    void HideCount() override { CountVisible = false, ++CountHides; }
    void ShowCount(const std::string& text) override { CountVisible = true, CountText = text; }
    void ShowResults() override { ++ResultsShown; }

    std::vector<std::shared_ptr<TProgressRecord>> Progress;
    std::vector<std::string> Warnings;
    std::vector<std::string> Informations;
    bool CountVisible = false;
    int CountHides = 0;
    std::string CountText;
    int ResultsShown = 0;
};

// The message of the exception `action` raises, "" when it raises none.
template <typename TAction>
std::string FailureMessage(TAction&& action) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "";
}

// A temporary folder that removes itself, also when an assertion ends the test early.
class TTempDir {
  public:
    TTempDir();
    ~TTempDir();
    const std::filesystem::path& Path() const { return Dir; }
    // The UTF-8 path of `name` (which may hold folders) in it.
    std::string File(const std::string& name) const { return Utf8Of(Dir / PathOf(name)); }

  private:
    std::filesystem::path Dir;
};

// Import inputs naming "ARTICLE.TXT" and "PRINT.TXT" in `folder`, the rest as the window starts.
inline TImportInputs ReportsIn(const std::filesystem::path& folder) {
    TImportInputs inputs;
    inputs.ArticleFile = Utf8Of(folder / "ARTICLE.TXT");
    inputs.PrintFile = Utf8Of(folder / "PRINT.TXT");
    return inputs;
}

// Writes bytes to a file as they are; paths in UTF-8.
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

// The file names of the two tables an export writes.
inline const std::string kDirectory = "Справочник.dbf";
inline const std::string kReceipt = "Приходы.dbf";

// An 84-character article line: code in 1-13, barcode in 15-27, group in 41-42, name (code page
// 866 bytes) in 45-84.
std::string ArticleLine84(const std::string& code, const std::string& barcode,
                          const std::string& group, const std::string& oemName);
// A 78-character stock line: code in 1-13, quantity in 54-59, price in 61-67.
std::string StockLine(const std::string& code, const std::string& quantity,
                      const std::string& price);
// Lines joined with CR LF.
std::string Lines(const std::vector<std::string>& lines);

// `text` cut or padded with spaces to `width` bytes: a fixed column of a report.
std::string Field(const std::string& text, std::size_t width);

// The little-endian number of `size` bytes at `offset`.
std::uint32_t LittleEndian(const std::string& bytes, std::size_t offset, int size);

// A dBASE III file read back by its bytes alone (no use of the writer under test).
struct TDbfContents {
    int Version = 0;
    std::uint32_t RecordCount = 0;
    int HeaderLength = 0;
    int RecordLength = 0;
    int LanguageDriver = 0;
    std::vector<std::string> FieldNames;
    std::vector<char> FieldTypes;
    std::vector<int> FieldLengths;
    std::vector<int> FieldDecimals;
    std::vector<std::vector<std::string>> Records;  // raw field bytes, deletion flag dropped
    std::size_t FileSize = 0;
    bool EndsWithEof = false;
};
TDbfContents ReadDbf(const std::string& path);

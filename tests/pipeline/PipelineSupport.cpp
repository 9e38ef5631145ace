#include "PipelineSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

namespace {

class TRecordingSink final : public IProgressSink {
  public:
    explicit TRecordingSink(std::shared_ptr<TRecordingHost::TProgressRecord> record)
        : Record(std::move(record)) {}
    void SetPercent(double percent) override { Record->Percents.push_back(percent); }
    void Terminate() override { ++Record->Terminations; }

  private:
    std::shared_ptr<TRecordingHost::TProgressRecord> Record;
};

}  // namespace

std::string Field(const std::string& text, std::size_t width) {
    std::string out = text.substr(0, width);
    out.resize(width, ' ');
    return out;
}

std::unique_ptr<IProgressSink> TRecordingHost::CreateProgress(const std::string& caption,
                                                              bool percentMode) {
    auto record = std::make_shared<TProgressRecord>();
    record->Caption = caption;
    record->PercentMode = percentMode;
    Progress.push_back(record);
    return std::make_unique<TRecordingSink>(record);
}

TTempDir::TTempDir() {
    std::random_device random;
    Dir = std::filesystem::temp_directory_path() /
          ("k2l-pipeline-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(Dir);
}

TTempDir::~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(Dir, ignored);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string ArticleLine84(const std::string& code, const std::string& barcode,
                          const std::string& group, const std::string& oemName) {
    std::string line = Field(code, 13) + " " + Field(barcode, 13) + std::string(13, ' ') +
                       Field(group, 2) + "  " + Field(oemName, 40);
    EXPECT_EQ(line.size(), 84u);
    return line;
}

std::string StockLine(const std::string& code, const std::string& quantity,
                      const std::string& price) {
    std::string line = Field(code, 13) + std::string(40, ' ') + Field(quantity, 6) + " " +
                       Field(price, 7) + std::string(11, ' ');
    EXPECT_EQ(line.size(), 78u);
    return line;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    return out;
}

std::uint32_t LittleEndian(const std::string& bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value =
            value << 8 | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
    return value;
}

TDbfContents ReadDbf(const std::string& path) {
    TDbfContents dbf;
    std::string bytes = ReadBytes(path);
    dbf.FileSize = bytes.size();
    if (bytes.size() < 33) {
        ADD_FAILURE() << path << " is too short for a dBASE header";
        return dbf;
    }
    dbf.Version = static_cast<unsigned char>(bytes[0]);
    dbf.RecordCount = LittleEndian(bytes, 4, 4);
    dbf.HeaderLength = static_cast<int>(LittleEndian(bytes, 8, 2));
    dbf.RecordLength = static_cast<int>(LittleEndian(bytes, 10, 2));
    dbf.LanguageDriver = static_cast<unsigned char>(bytes[29]);
    for (std::size_t at = 32; at + 32 <= bytes.size() && bytes[at] != '\x0D'; at += 32) {
        std::string name = bytes.substr(at, 11);
        dbf.FieldNames.push_back(name.substr(0, name.find('\0')));
        dbf.FieldTypes.push_back(bytes[at + 11]);
        dbf.FieldLengths.push_back(static_cast<unsigned char>(bytes[at + 16]));
        dbf.FieldDecimals.push_back(static_cast<unsigned char>(bytes[at + 17]));
    }
    for (std::uint32_t r = 0; r < dbf.RecordCount; ++r) {
        std::size_t at = static_cast<std::size_t>(dbf.HeaderLength) +
                         r * static_cast<std::size_t>(dbf.RecordLength);
        if (at + static_cast<std::size_t>(dbf.RecordLength) > bytes.size()) {
            ADD_FAILURE() << path << ": record " << r + 1 << " lies beyond the end of the file";
            break;
        }
        std::vector<std::string> record;
        std::size_t offset = at + 1;
        for (int length : dbf.FieldLengths) {
            record.push_back(bytes.substr(offset, static_cast<std::size_t>(length)));
            offset += static_cast<std::size_t>(length);
        }
        dbf.Records.push_back(record);
    }
    dbf.EndsWithEof = !bytes.empty() && bytes.back() == '\x1A';
    return dbf;
}

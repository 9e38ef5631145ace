#include "text/WindowsPath.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

std::string Repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

// Three names of 90 letters: with any root in front the path is past the limit.
const std::string kDeep =
    std::string(90, 'a') + "\\" + std::string(90, 'b') + "\\" + std::string(90, 'c');

struct TPathCase {
    const char* Name;
    std::string Path;
    std::optional<std::string> Want;  // nothing: the path goes to the system as it is
};

class ExtendedLengthRule : public testing::TestWithParam<TPathCase> {};

TEST_P(ExtendedLengthRule, GivesTheFormTheSystemTakesPastTheLimit) {
    EXPECT_EQ(ExtendedLengthPath(GetParam().Path), GetParam().Want);
}

INSTANTIATE_TEST_SUITE_P(
    WindowsPath, ExtendedLengthRule,
    testing::Values(
        TPathCase{"ShortDrivePathStays", "C:\\Таблицы\\Справочник.dbf", std::nullopt},
        TPathCase{"LongDrivePath", "C:\\" + kDeep, "\\\\?\\C:\\" + kDeep},
        TPathCase{"LongSharePath", "\\\\server\\share\\" + kDeep,
                  "\\\\?\\UNC\\server\\share\\" + kDeep},
        TPathCase{
            "SlashesBecomeBackslashes",
            "D:/" + std::string(90, 'a') + "/" + std::string(90, 'b') + "/" + std::string(90, 'c'),
            "\\\\?\\D:\\" + kDeep},
        TPathCase{"ShareWrittenWithSlashes", "//server/share/" + kDeep,
                  "\\\\?\\UNC\\server\\share\\" + kDeep},
        TPathCase{"DotsAndDoubleDotsResolved", "C:\\x\\.\\y\\..\\" + kDeep + "\\.\\z\\..",
                  "\\\\?\\C:\\x\\" + kDeep},
        TPathCase{"DoubleDotsStopAtTheDriveRoot", "C:\\..\\..\\" + kDeep, "\\\\?\\C:\\" + kDeep},
        TPathCase{"DoubleDotsStopAtTheShare", "\\\\server\\share\\..\\..\\" + kDeep,
                  "\\\\?\\UNC\\server\\share\\" + kDeep},
        TPathCase{"RepeatedDelimitersMerge", "C:\\\\x\\\\/\\" + kDeep, "\\\\?\\C:\\x\\" + kDeep},
        TPathCase{"LastNameLosesTrailingDotsAndBlanks", "C:\\" + kDeep + "\\t.dbf. .",
                  "\\\\?\\C:\\" + kDeep + "\\t.dbf"},
        TPathCase{"FolderNameLosesOneTrailingDot", "C:\\x.\\y..\\" + kDeep,
                  "\\\\?\\C:\\x\\y..\\" + kDeep},
        TPathCase{"FinalDelimiterStaysAndKeepsTheBlank", "C:\\" + kDeep + "\\d \\",
                  "\\\\?\\C:\\" + kDeep + "\\d \\"},
        TPathCase{"AlreadyExtendedStays", "\\\\?\\C:\\" + kDeep, std::nullopt},
        TPathCase{"DeviceFormStays", "\\\\.\\C:\\" + kDeep, std::nullopt},
        TPathCase{"RelativePathStays", kDeep + "\\" + kDeep, std::nullopt},
        TPathCase{"DriveRelativePathStays", "C:" + kDeep, std::nullopt},
        TPathCase{"RootRelativePathStays", "\\" + kDeep, std::nullopt},
        TPathCase{"ServerWithoutShareStays", "\\\\" + std::string(300, 's'), std::nullopt},
        // MAX_PATH counts the terminating null: 259 units still fit, 260 do not.
        TPathCase{"Of259UnitsStays", "C:\\" + std::string(256, 'n'), std::nullopt},
        TPathCase{"Of260UnitsIsExtended", "C:\\" + std::string(257, 'n'),
                  "\\\\?\\C:\\" + std::string(257, 'n')},
        // 150 Cyrillic letters are 300 bytes of UTF-8 but 150 units of UTF-16.
        TPathCase{"LengthCountsUtf16Units", "C:\\" + Repeated("ж", 150), std::nullopt}),
    [](const testing::TestParamInfo<TPathCase>& param) { return param.param.Name; });

TEST(WindowsPath, FullPathsNeedNoCurrentFolder) {
    for (const char* path : {"C:\\x", "c:/x", "\\\\server\\share", "//server/share", "\\\\?\\C:\\x",
                             "\\\\.\\pipe\\x"}) {
        EXPECT_TRUE(IsFullWindowsPath(path)) << path;
    }
    for (const char* path : {"x\\y", "C:x", "\\x", "/x", "", "..\\x"}) {
        EXPECT_FALSE(IsFullWindowsPath(path)) << path;
    }
}

}  // namespace

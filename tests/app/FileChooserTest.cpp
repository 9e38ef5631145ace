#include "app/FileChooser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "AppSupport.h"
#include "text/FileSystem.h"

namespace {

class FileChooserStart : public testing::Test {
  protected:
    FileChooserStart() {
        std::filesystem::create_directory(Dir.Path() / "sub dir");
        std::ofstream(PathOf(Dir.File("my file.txt"))) << "x";
    }
    std::string In(const std::string& name) const { return Dir.File(name); }

    TTempDir Dir;
    TFileChooserStart Start;
};

TEST_F(FileChooserStart, OpensAtTheFolderAndNameOfTheBoxValue) {
    Start.FollowBoxText('"' + In("my file.txt") + '"');
    EXPECT_EQ(Start.Folder(), Dir.Folder());
    EXPECT_EQ(Start.Name(), "my file.txt");
}

TEST_F(FileChooserStart, ChosenFileIsQuotedWhenItHoldsABlankAndIsTheNextStart) {
    EXPECT_EQ(Start.TakeChosenFile(In("sub dir/PRINT.TXT")), '"' + In("sub dir/PRINT.TXT") + '"');
    EXPECT_EQ(Start.Folder(), In("sub dir"));
    EXPECT_EQ(Start.Name(), "PRINT.TXT");
    const std::string plain = NativeDelimiters("/tmp/PRINT.TXT");
    EXPECT_EQ(Start.TakeChosenFile(plain), plain);
}

TEST_F(FileChooserStart, NameTheChooserCannotTakeKeepsTheLastStart) {
    Start.TakeChosenFile(In("sub dir/PRINT.TXT"));
    Start.FollowBoxText("a|b");
    EXPECT_EQ(Start.Folder(), In("sub dir"));
    EXPECT_EQ(Start.Name(), "PRINT.TXT");
}

TEST_F(FileChooserStart, ValueEndingInADelimiterPresetsNoName) {
    Start.FollowBoxText(Dir.Folder() + kPathDelimiter);
    EXPECT_EQ(Start.Folder(), Dir.Folder());
    EXPECT_EQ(Start.Name(), "");
}

TEST_F(FileChooserStart, FolderThatDoesNotExistIsNotUsedButItsNameIs) {
    Start.FollowBoxText(In("my file.txt"));
    Start.FollowBoxText(NativeDelimiters("/no/such/folder/x.txt"));
    EXPECT_EQ(Start.Folder(), Dir.Folder());
    EXPECT_EQ(Start.Name(), "x.txt");
}

TEST_F(FileChooserStart, RelativeNameHasNoFolderPart) {
    Start.FollowBoxText("ARTICLE.TXT");
    EXPECT_EQ(Start.Folder(), "");
    EXPECT_EQ(Start.Name(), "ARTICLE.TXT");
}

TEST_F(FileChooserStart, FolderChooserStartsAtAnExistingFolderElseAtTheRoot) {
    const std::string root(1, kPathDelimiter);
    EXPECT_EQ(FolderChooserStart(""), root);
    EXPECT_EQ(FolderChooserStart(NativeDelimiters("/no/such/dir")), root);
    EXPECT_EQ(FolderChooserStart(In("my file.txt")), root);
    EXPECT_EQ(FolderChooserStart(In("sub dir")), In("sub dir"));
}

}  // namespace

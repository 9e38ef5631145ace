#pragma once

#include <string>

// Where a file name box's chooser opens, kept from one use to the next.
class TFileChooserStart {
  public:
    // Before the chooser opens: the file name value of the box's text gives the start folder
    // (when that folder exists) and the preset name (none for a value ending in a delimiter). A
    // value with characters the chooser cannot take leaves the last start as it was.
    void FollowBoxText(const std::string& text);
    // After a file was chosen (its full path): it is the next start. Returns the box's new text.
    std::string TakeChosenFile(const std::string& path);

    const std::string& Folder() const { return StartFolder; }
    const std::string& Name() const { return StartName; }

  private:
    std::string StartFolder;
    std::string StartName;
};

// Where the folder chooser opens: the box's text when it names an existing folder, else the root
// (the delimiter alone).
std::string FolderChooserStart(const std::string& text);

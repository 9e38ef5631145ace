#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The small rules of the desktop program that need no window: what a file name box yields, the
// application title, the program folder, and the chooser's quoting. Texts are UTF-8; paths use
// the platform's delimiter between folders ("\" on Windows, where "/" is taken as well; "/" else).

// The first word of `text` split the way a command line is: leading characters with codes 1..32
// and pairs of double quotes are skipped; the word ends at the first character with a code of 32
// or below; a double quote opens a stretch, blanks included, up to the next one, and both quotes
// are dropped.
std::string FirstCommandLineWord(std::string_view text);

// The file name value of a file name box: the text unchanged when a file (not a folder) exists
// under it, otherwise its first command-line word; blanks only give the empty name.
std::string FileNameValue(const std::string& text);

// The application title: the program file's name without its folder and without everything from
// its first "." on, every letter after the first in lower case; the first letter stays as it is
// ("KELVA2LARMIS.exe" -> "Kelva2larmis", "kelva2larmis" -> "kelva2larmis").
std::string ApplicationTitle(std::string_view programPath);

// The folder that holds a file (the program's own, or one the operator named): the path up to
// its last delimiter, without that delimiter unless the folder is a root (the delimiter
// alone, or on Windows a drive's "C:\"), which keeps it; empty when there is no delimiter.
std::string ProgramFolder(std::string_view programPath);

// The system's folders that decide where the output folder box starts (see OutputFolderDefault).
struct TSystemFolders {
    // Where installed programs live (Program Files and the user's programs folder on Windows;
    // none on Linux, where only a folder that takes no files moves the start).
    std::vector<std::string> ProgramFolders;
    // The user's documents folder (on Linux the home folder when there is none); empty when the
    // system names none.
    std::string Documents;
};

// Whether `path` is `folder` or lies inside it, comparing whole names (on Windows regardless of
// case, with "/" and "\" alike); an empty folder holds nothing.
bool IsInsideFolder(std::string_view path, std::string_view folder);

// Where the output folder box starts: the program's own folder, unless it lies inside one of the
// system's program folders or `canWrite` finds that no file can be created in it; then the user's
// documents folder, which the operator finds the tables in. `canWrite` is asked only when the
// answer matters; without a documents folder the program's own stays.
std::string OutputFolderDefault(const std::string& programFolder, const TSystemFolders& system,
                                const std::function<bool(const std::string&)>& canWrite);

// Whether a file can be created in `folder` now, found by trying: a probe file of a name no file
// there has is created and deleted again. (Permissions alone do not tell: access lists, read-only
// media and Wine, which lets every folder be written, each answer differently.)
bool CanCreateFilesIn(const std::string& folder);

// Whether a name may be given to the file chooser: none of < > [ ] | and the double quote.
bool IsValidFileName(std::string_view name);

// What a file name box shows for a chosen file: the path wrapped in double quotes when it holds a
// blank and does not already start with a double quote.
std::string QuoteChosenPath(const std::string& path);

#pragma once

#include <string>
#include <string_view>

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

// Whether a name may be given to the file chooser: none of < > [ ] | and the double quote.
bool IsValidFileName(std::string_view name);

// What a file name box shows for a chosen file: the path wrapped in double quotes when it holds a
// blank and does not already start with a double quote.
std::string QuoteChosenPath(const std::string& path);

#pragma once

#include <QString>

// The small rules of the desktop program that need no window: what a file name box yields, the
// application title, the program folder, and the chooser's quoting.

// The first word of `text` split the way a command line is: leading characters with codes 1..32
// and pairs of double quotes are skipped; the word ends at the first character with a code of 32
// or below; a double quote opens a stretch, blanks included, up to the next one, and both quotes
// are dropped.
QString FirstCommandLineWord(const QString& text);

// The file name value of a file name box: the text unchanged when a file (not a folder) exists
// under it, otherwise its first command-line word; blanks only give the empty name.
QString FileNameValue(const QString& text);

// The application title: the program file's name without its folder and without everything from
// its first "." on, every letter after the first in lower case; the first letter stays as it is
// ("KELVA2LARMIS.exe" -> "Kelva2larmis", "kelva2larmis" -> "kelva2larmis").
QString ApplicationTitle(const QString& programPath);

// The folder that holds a file (the program's own, or one the operator named): the path up to
// its last "/", without that "/" unless the folder is the root; empty when there is no "/".
QString ProgramFolder(const QString& programPath);

// Whether a name may be given to the file chooser: none of < > [ ] | and the double quote.
bool IsValidFileName(const QString& name);

// What a file name box shows for a chosen file: the path wrapped in double quotes when it holds a
// blank and does not already start with a double quote.
QString QuoteChosenPath(const QString& path);

#pragma once

#include <string>
#include <string_view>
#include <vector>

// The converter's terminal: its arguments, its two output streams and the progress line. All text
// here is UTF-8. ConsolePosix.cpp passes the bytes through; ConsoleWindows.cpp reads the wide
// command line and writes UTF-16 to a console window, so Cyrillic reads right whatever the
// console's code page.

enum TStream { stOut, stErr };

// Sets the process up before anything is read or written.
void PrepareProcess();

// The arguments after the program name, in UTF-8.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Whether `stream` goes to a terminal or console window (a person is watching), not to a file or
// a pipe.
bool IsConsole(TStream stream);

// Writes `text` to `stream` at once. A file or pipe gets the UTF-8 bytes unchanged (LF line ends
// on every platform); a console window shows the characters.
void WriteText(TStream stream, std::string_view text);

// On a console on stderr: replaces the line the cursor is on with `text` (one line, shorter than
// the console is wide), the cursor staying on it for the next call.
void ShowStatusLine(std::string_view text);

// Blanks the line ShowStatusLine wrote, the cursor at its start.
void ClearStatusLine();

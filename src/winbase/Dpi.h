#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// The resolution a window is drawn at, and the system's sizes at it. Windows 10 1607 and later
// tell each window its own (per monitor, once the program declares per-monitor awareness); older
// systems have one for the whole screen.

// The window's dots per inch: GetDpiForWindow where user32 has it, else the screen's LOGPIXELSY;
// 96 when neither answers.
int WindowDpi(HWND window);

// The dots per inch of the primary monitor, for a window not made yet: GetDpiForMonitor where
// shcore has it, else GetDpiForSystem, else the screen's LOGPIXELSY; 96 when none answers.
int PrimaryMonitorDpi();

// The outer size of a window whose client area is `width` x `height` at `dpi`, with its frame
// drawn at that resolution (AdjustWindowRectExForDpi where user32 has it).
SIZE FrameSize(int width, int height, DWORD style, DWORD exStyle, int dpi);

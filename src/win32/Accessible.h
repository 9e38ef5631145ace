#pragma once

#include <windows.h>

// Gives `control` the name screen readers announce for it (Dynamic Annotation of its accessible
// object's Name), for controls whose own text does not name them and that no label precedes.
// Needs COM on this thread; without it the control keeps the name the system finds.
void SetAccessibleName(HWND control, const char* name);

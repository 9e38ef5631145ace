#pragma once

#include <windows.h>

// Lets the text box `edit` take only characters that code page 866 can hold, typed or pasted:
// the tables are written in that code page, so what the box shows is what they will hold. A
// refused character or paste only beeps; control keys pass.
void RestrictToOem(HWND edit);

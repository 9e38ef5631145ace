#pragma once

#include <windows.h>

#include "app/GoodsGridController.h"

// The results grid's and viewer's keys on Windows: the virtual key codes their controllers know.

// `key` as the controller knows it, with the modifiers held now.
TGridKeyPress GridKeyPress(WPARAM key);

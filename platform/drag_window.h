// Lets the user move a borderless window by dragging its background.
#pragma once

#include <windows.h>

// Starts the system's own move loop, as if the caption had been pressed.
// Does nothing for a maximised window.
void DragWindow(HWND window);

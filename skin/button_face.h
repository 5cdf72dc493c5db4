// A system button whose face is one flat colour with its picture (if it has
// one) centred on it: what window shaping gives a button before it scans the
// face for the transparent colour, so that only the picture stays.
#pragma once

#include <windows.h>

// Paints the button's face in `colour` from now on, for as long as the
// button lives. Calling it again changes the colour.
void SetButtonFaceColour(HWND button, COLORREF colour);

// MoveFileExA, bound at run time: Windows 95 may not export it at all, and a
// missing import would stop the program before its first line.
#pragma once

#include <windows.h>

// MoveFileExA where the system has it; elsewhere FALSE with
// ERROR_CALL_NOT_IMPLEMENTED, as Windows 9x's stub answers.
BOOL MoveFileExBound(const char* from, const char* to, DWORD flags);

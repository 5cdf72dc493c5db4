#include "app/program_end.h"

#include <windows.h>

void EndProgram() { ::ExitProcess(0); }

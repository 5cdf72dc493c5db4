// Ending the program at once: no unload processing and no verdict exit code.
#pragma once

[[noreturn]] void EndProgram();

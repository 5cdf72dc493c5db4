// Where the program is put together: this computer's facts, the start-up
// engine, the engine of Run Setup and the main window.
#pragma once

#include <cstdint>
#include <string>

#include "app/program_arguments.h"

// Runs the whole program until it asks for its end; the end's exit code.
// `logPath`: the run log's full path, empty when there is none.
std::uint32_t RunProgram(ProgramArguments arguments, std::string logPath);

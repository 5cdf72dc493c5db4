// Carries out, on processors older than the Pentium Pro, the conditional
// moves that the prebuilt runtime holds (see cmov_emulation.h).
#pragma once

#include <windows.h>

// Installs the fallback as the process's unhandled-exception filter, ahead of
// the C runtime's own, which hands on what it does not handle itself.
void InstallInstructionFallback();

// The filter: an illegal CMOVcc is carried out and execution resumes after
// it; anything else goes on to the filter installed before.
LONG WINAPI EmulateMissingInstruction(EXCEPTION_POINTERS* exception);

// Binding to system DLLs and to functions that older Windows versions lack.
// The program is usually started from a downloads folder, so a DLL with a
// system name planted beside it must never be loaded: everything that is not
// a known system DLL is loaded by full path from the system folder.
#pragma once

#include "platform/owned.h"

// Removes the program's folder and the current folder from the DLL search
// where the system offers it (XP SP1 and later); harmless elsewhere.
void HardenDllSearch();

// Loads the named DLL from the system folder; empty when it is not there.
OwnedModule LoadSystemLibrary(const char* fileName);

// The address of an export, cast to the function type; nullptr when missing.
template <typename Function>
Function BindExport(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// An export of kernel32, which every process has loaded.
template <typename Function>
Function BindKernel32(const char* name) {
    return BindExport<Function>(::GetModuleHandleA("kernel32.dll"), name);
}

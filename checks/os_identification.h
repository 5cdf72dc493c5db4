// The operating-system code that the whole program keys its behaviour on,
// its display names and the service-pack number.
#pragma once

#include <string>

#include "platform/file_exists.h"
#include "platform/system_facts.h"

enum OsCodes : int {
    kOsUnknown = 0,
    kOsWin95 = 1,
    kOsWin98 = 2,
    kOsWinME = 3,
    kOsNT4 = 4,
    kOsWin2000 = 5,
    kOsWinXP = 6,
    kOsWinXPx64 = 7,
    kOsWin2003 = 8,
    kOsVista = 9,
    kOsVistax64 = 10,
    kOsWin7 = 11,
    kOsWin7x64 = 12,
    kOsServer = 13,
};

// Vista, 32- or 64-bit: the systems whose setup must be asked to elevate.
inline bool IsVista(int code) { return code == kOsVista || code == kOsVistax64; }

// How FileExists must test paths on the system of this code.
inline ExistenceTest FileExistenceTest(int code) {
    return code == kOsWin95 || code == kOsNT4 ? ExistenceTest::PlainFile : ExistenceTest::AnyPath;
}

int GetOsCode(const SystemFacts& system);
// Display name of a code; 0 names the running system.
std::string OsName(int code, const SystemFacts& system);
std::string ServicePackText(bool verbose, const SystemFacts& system);
bool IsServerEdition(const SystemFacts& system);
// "A" for the first edition of Windows 95 / 98, "B" for the later ones.
std::string Win95Edition(const SystemFacts& system);
std::string Win98Edition(const SystemFacts& system);

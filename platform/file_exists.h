// Whether a path names something on disk, tested the way the running Windows
// allows.
#pragma once

#include <string>

#include "platform/system_facts.h"

enum class ExistenceTest {
    // Any existing path counts, a folder too.
    AnyPath,
    // Only a file whose attributes are plain (none, read-only, hidden,
    // system, archive, or archive with read-only) counts: Windows 95 and
    // NT 4.0 may lack the shell's own test, so the attributes decide.
    PlainFile,
};

bool FileExists(const std::string& path, ExistenceTest test, const SystemFacts& system);

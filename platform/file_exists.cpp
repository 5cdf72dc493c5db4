#include "platform/file_exists.h"

bool FileExists(const std::string& path, ExistenceTest test, const SystemFacts& system) {
    if (test == ExistenceTest::PlainFile) {
        if (path.empty() || path.back() == '\\') return false;
        auto attributes = system.FileAttributes(path);
        if (!attributes) return false;
        switch (*attributes) {
            case 0: case 1: case 2: case 4: case 32: case 33: return true;
            default: return false;
        }
    }
    return system.FileAttributes(path).has_value();
}

#include "setup/win_init.h"

std::string WinInitWithDeletion(const std::optional<std::string>& current,
                                const std::string& shortPath) {
    std::string entry = "NUL=" + shortPath + "\r\n";
    std::string kept = current.value_or(std::string());
    if (auto nul = kept.find('\0'); nul != std::string::npos) kept.resize(nul);
    if (!current || current->empty()) return "[Rename]\r\n" + entry;
    if (kept.size() >= 2 && kept.compare(kept.size() - 2, 2, "\r\n") == 0) return kept + entry;
    return kept + "\r\n" + entry;
}

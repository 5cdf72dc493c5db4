#include "system_helpers/win_init.h"

#include "platform/text_case.h"

namespace {

// Whether the last section header in `text` is [Rename]: the start-up
// rename reads its deletions from that section only.
bool EndsInRenameSection(const std::string& text) {
    std::string section;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::size_t first = text.find_first_not_of(" \t", start);
        if (first < end && text[first] == '[') {
            std::size_t close = text.find(']', first);
            section = text.substr(first + 1, (close < end ? close : end) - first - 1);
        }
        start = end + 1;
    }
    return SameIgnoringCase(section, "rename");
}

}  // namespace

std::string WinInitWithDeletion(const std::optional<std::string>& current,
                                const std::string& shortPath) {
    std::string entry = "NUL=" + shortPath + "\r\n";
    std::string kept = current.value_or(std::string());
    if (auto nul = kept.find('\0'); nul != std::string::npos) kept.resize(nul);
    if (!kept.empty() && (kept.size() < 2 || kept.compare(kept.size() - 2, 2, "\r\n") != 0))
        kept += "\r\n";
    // Another installer may have left another section last, or none.
    if (!EndsInRenameSection(kept)) kept += "[Rename]\r\n";
    return kept + entry;
}

#include "app/elevation.h"

#include "platform/text_case.h"

const char kStillNotAdministratorMessage[] =
    "Tavrin Secure Requirements Check was started again with administrator rights, but it "
    "still does not have them. Please start it as an administrator.";

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool HasElevatedMarker(const std::string& commandLine) {
    std::size_t at = 0;
    // The program's own path, which may itself hold the marker's text.
    if (!commandLine.empty() && commandLine[0] == '"') {
        std::size_t close = commandLine.find('"', 1);
        at = close == std::string::npos ? commandLine.size() : close + 1;
    }
    while (at < commandLine.size() && !IsBlank(commandLine[at])) ++at;
    while (at < commandLine.size()) {
        while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
        std::size_t end = at;
        while (end < commandLine.size() && !IsBlank(commandLine[end])) ++end;
        if (end > at && SameIgnoringCase(commandLine.substr(at, end - at), kElevatedMarker)) return true;
        at = end;
    }
    return false;
}

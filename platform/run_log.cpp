#include "platform/run_log.h"

#include <windows.h>


#include "platform/ansi_paths.h"
#include "platform/device_names.h"
#include "platform/file_owner.h"
#include "platform/owned.h"
#include "platform/unlinked_file.h"

namespace {

struct RunLogFile {
    OwnedHandle file;
    bool appendOnly = false;
};

RunLogFile& TheLog() {
    static RunLogFile log;
    return log;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// `value` in decimal, with leading zeros to `width` digits.
void AppendDigits(std::string& out, unsigned long value, std::size_t width) {
    char digits[12];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 && count < sizeof digits);
    for (std::size_t i = count; i < width; ++i) out += '0';
    while (count > 0) out += digits[--count];
}

// The log for a run with more rights than the user: the existing file when
// it is a plain file of the user's own, else (`mayCreate`) a new one in a
// plain folder of the user's own, held while the file is made so that it
// stays that folder.
OwnedHandle OpenUsersOwnLog(const std::string& fullPath, const std::string& folder,
                            bool mayCreate) {
    constexpr DWORD kAccess = FILE_APPEND_DATA | READ_CONTROL;
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
    bool refused = false;
    OwnedHandle file = OpenUnlinkedFile(fullPath, kAccess, kShare, &refused);
    if (file) return OwnedByProcessUser(file.get()) ? std::move(file) : OwnedHandle();
    if (refused || !mayCreate || ::GetLastError() != ERROR_FILE_NOT_FOUND) return OwnedHandle();
    OwnedHandle held = OpenUnlinkedFolder(folder, kShare);
    if (!held || !OwnedByProcessUser(held.get())) return OwnedHandle();
    return CreateNewFile(fullPath, kAccess, kShare);
}

}  // namespace

std::string OpenRunLog(const std::string& path, LogAccess access) {
    CloseRunLog();
    std::string wanted = path.empty() ? SystemTempFolder() : path;
    if (path.empty() && !wanted.empty()) wanted += "TSCheck.log";
    // The device and raw name spaces reach disks, pipes and consoles.
    if (wanted.empty() || StartsWith(wanted, "\\\\.\\") || StartsWith(wanted, "\\\\?\\"))
        return {};
    char full[MAX_PATH] = {};
    char* name = nullptr;
    DWORD length = ::GetFullPathNameA(wanted.c_str(), MAX_PATH, full, &name);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string fullPath(full, length);
    // A path that ends in a folder names no file; a device name (NUL, COM1,
    // ...) opens the device wherever the path puts it.
    if (!name || StartsWith(fullPath, "\\\\.\\") || IsDeviceName(std::string(name))) return {};

    // On the NT family a handle that may only append puts every line at the
    // end, whatever the other copy wrote in the meantime. Windows 9x knows
    // no such right, and there no second copy runs.
    bool nt = (::GetVersion() & 0x80000000u) == 0;
    OwnedHandle file = nt && access != LogAccess::CreateOrAppend
                           ? OpenUsersOwnLog(fullPath, std::string(full, name),
                                             access == LogAccess::UsersOwnOnly)
                           : OwnedHandle(::CreateFileA(fullPath.c_str(),
                                                       nt ? FILE_APPEND_DATA : GENERIC_WRITE,
                                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    // A folder does not open; a pipe or a console does, and is no log.
    if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK) return {};
    TheLog().file = std::move(file);
    TheLog().appendOnly = nt;
    return fullPath;
}

bool RunLogOpen() { return static_cast<bool>(TheLog().file); }

void CloseRunLog() { TheLog().file.reset(); }

std::string RunLogLine(int year, int month, int day, int hour, int minute, int second,
                       int millisecond, unsigned long processId,
                       std::initializer_list<std::string_view> parts) {
    std::string line;
    line.reserve(128);
    AppendDigits(line, year, 4);
    line += '-';
    AppendDigits(line, month, 2);
    line += '-';
    AppendDigits(line, day, 2);
    line += ' ';
    AppendDigits(line, hour, 2);
    line += ':';
    AppendDigits(line, minute, 2);
    line += ':';
    AppendDigits(line, second, 2);
    line += '.';
    AppendDigits(line, millisecond, 3);
    line += " [";
    AppendDigits(line, static_cast<unsigned long>(processId), 1);
    line += "] ";
    for (std::string_view text : parts) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            char c = text[i];
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
            if (c == '\r' || c == '\n') line += " | ";
            else line += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
    line += "\r\n";
    return line;
}

void LogLine(std::initializer_list<std::string_view> parts) {
    RunLogFile& log = TheLog();
    if (!log.file) return;
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    std::string line = RunLogLine(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                                  now.wSecond, now.wMilliseconds, ::GetCurrentProcessId(), parts);
    if (!log.appendOnly) ::SetFilePointer(log.file.get(), 0, nullptr, FILE_END);
    // One write per line, so that lines of the two copies never interleave.
    DWORD written = 0;
    ::WriteFile(log.file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

#include "system_helpers/file_manip.h"

#include <shellapi.h>

#include "platform/ansi_paths.h"
#include "platform/locale_format.h"
#include "platform/message_pump.h"
#include "platform/move_file.h"
#include "platform/system_library.h"
#include "platform/owned.h"
#include "platform/unlinked_file.h"
#include "platform/whole_file.h"

void DeleteFileOrDefer(const std::string& path) {
    if (DeleteAccess() != 0) {
        // The NT family: the file itself, through its own handle, so that a
        // link put in its place never turns this into a delete of another.
        bool refused = false;
        OwnedHandle file = OpenUnlinkedFile(
            path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &refused);
        DWORD error = file ? ERROR_SUCCESS : ::GetLastError();
        bool deleted = file && DeleteThroughHandle(file.get());
        file.reset();
        ProcessPendingEvents();
        if (deleted || refused || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return;
        DeleteAtRestart(path, RealSystem());
        return;
    }
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    BOOL deleted = ::DeleteFileA(path.c_str());
    DWORD error = deleted ? ERROR_SUCCESS : ::GetLastError();
    ProcessPendingEvents();
    if (!deleted && error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        DeleteAtRestart(path, RealSystem());
}

void DeleteAtRestart(const std::string& path, const SystemFacts& system) {
    // The family comes from the system's version record, never from the
    // environment, which the user sets: an elevated run must not be talked
    // into rewriting a file of the user's choosing.
    std::optional<VersionRecord> version = system.ShortVersion();
    if (!version) return;
    std::string shortPath = ShortPathName(path);
    if (version->platform == VER_PLATFORM_WIN32_NT) {
        (void)MoveFileExBound(shortPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        return;
    }
    // Windows 9x: the start-up rename list in the Windows folder the system
    // names, kept byte for byte.
    std::string windows = WindowsFolder();
    if (windows.empty()) return;
    std::string winInit = windows + "WinInit.ini";
    // Best effort, like the NT branch: a file that cannot be scheduled stays
    // where it is, and there is nobody to tell at the program's end.
    (void)WriteWholeFile(winInit, WinInitWithDeletion(ReadWholeFile(winInit), shortPath));
}

std::string ShortPathName(const std::string& path) {
    char buffer[165] = {};
    DWORD length = ::GetShortPathNameA(path.c_str(), buffer, 164);
    if (length == 0 || length > 164) return {};
    return std::string(buffer, length);
}

std::string AddTrailingBackslash(std::string path) {
    if (path.empty()) return path;
    for (char& c : path)
        if (c == '/') c = '\\';
    if (path.back() != '\\') path += '\\';
    return path;
}

std::string TempFolder() { return AddTrailingBackslash(SystemTempFolder()); }

std::string WindowsFolder() {
    // On a terminal server GetWindowsDirectory names a folder of the user's;
    // GetSystemWindowsDirectory (2000 and later) names the system's.
    using GetSystemWindowsDirectoryFn = UINT(WINAPI*)(LPSTR, UINT);
    static const auto systemWindows =
        BindKernel32<GetSystemWindowsDirectoryFn>("GetSystemWindowsDirectoryA");
    char windows[MAX_PATH] = {};
    UINT length = systemWindows ? systemWindows(windows, MAX_PATH)
                                : ::GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    return AddTrailingBackslash(windows);
}

std::string SetupStagingRoot(const SystemFacts& system) {
    std::optional<VersionRecord> version = system.ShortVersion();
    if (!version || version->platform != VER_PLATFORM_WIN32_NT || system.IsNTAdmin() == 0)
        return TempFolder();
    std::string windows = WindowsFolder();
    if (windows.empty()) return std::string();
    std::string root = windows + "Temp";
    // Windows makes it at setup; where it was removed, the administrator
    // may make it again, and it inherits the Windows folder's protection.
    if (!::CreateDirectoryA(root.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return std::string();
    return root + "\\";
}

std::string FormatMegabytes(std::int64_t bytes) {
    return FormatLocaleNumber(static_cast<double>(bytes) / 1024.0 / 1024.0, 2, true) + " MB";
}

std::uint32_t WaitForProcessExit(HANDLE process) {
    if (!process || process == INVALID_HANDLE_VALUE) return 0;
    DWORD code = 0;
    if (!::GetExitCodeProcess(process, &code)) return 0;
    // A program may end with 259 itself: only the signalled handle says that
    // the process has really ended.
    if (::WaitForSingleObject(process, 0) != WAIT_OBJECT_0) {
        PumpUntilSignalled(process);
        if (!::GetExitCodeProcess(process, &code)) code = 0;
    }
    return code;
}

SystemResult ShellRun(const std::string& file, bool elevate, const std::string& parameters,
                      std::int32_t showCommand, const std::string& directory) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = 0;
    info.hwnd = nullptr;
    info.lpVerb = elevate ? "runas" : "open";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = directory.c_str();  // empty: the shell's default
    info.nShow = showCommand;
    if (!::ShellExecuteExA(&info)) return FailedWith(::GetLastError());
    return {};
}

#include "setup/setup_start.h"

#include <vector>

#include "platform/move_file.h"
#include "platform/run_log.h"
#include "platform/system_library.h"
#include "system_helpers/file_manip.h"

namespace {

struct UnicodeString {
    USHORT length, maximumLength;
    PWSTR buffer;
};
using NtQueryInformationProcessFn = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
constexpr ULONG kProcessImageFileName = 27;  // XP and later
constexpr LONG kInvalidInfoClass = static_cast<LONG>(0xC0000003);  // STATUS_INVALID_INFO_CLASS

// The Win32 form of an NT path: "\??\C:\..." or "\Device\...".
std::wstring Win32FormOf(const std::wstring& native) {
    if (native.rfind(L"\\??\\", 0) == 0) return L"\\\\?\\" + native.substr(4);
    return L"\\\\?\\GLOBALROOT" + native;
}

}  // namespace

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    if (!::GetFileInformationByHandle(a, &first) || !::GetFileInformationByHandle(b, &second))
        return false;
    return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

std::optional<OwnedHandle> OpenProcessImage(HANDLE process) {
    static const auto query = BindExport<NtQueryInformationProcessFn>(
        ::GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess");
    if (!query) return std::nullopt;
    std::vector<BYTE> buffer(sizeof(UnicodeString) + 2 * 32768);
    ULONG needed = 0;
    LONG status = query(process, kProcessImageFileName, buffer.data(),
                        static_cast<ULONG>(buffer.size()), &needed);
    if (status == kInvalidInfoClass) return std::nullopt;  // before XP
    if (status < 0) return OwnedHandle();
    const auto* name = reinterpret_cast<const UnicodeString*>(buffer.data());
    if (!name->buffer || name->length == 0) return OwnedHandle();
    std::wstring path =
        Win32FormOf(std::wstring(name->buffer, name->length / sizeof(wchar_t)));
    HANDLE image = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return OwnedHandle(image == INVALID_HANDLE_VALUE ? nullptr : image);
}

SystemResult StartVerifiedSetup(const std::string& path, const std::string& folder,
                                HANDLE verifiedFile) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + path + "\"";  // CreateProcessA may write into it
    if (!::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          CREATE_SUSPENDED, nullptr, folder.empty() ? nullptr : folder.c_str(),
                          &startup, &process))
        return FailedWith(::GetLastError());
    OwnedHandle processHandle(process.hProcess);
    OwnedHandle thread(process.hThread);
    // Where the system cannot name the image (before XP), the start is as
    // it always was: the locked file and the private folder are the guard.
    // Where it names one, that must be the verified file; one that cannot
    // even be opened (a file of somebody else's that locks us out) is not.
    if (std::optional<OwnedHandle> image = OpenProcessImage(processHandle.get())) {
        if (!*image || !SameFile(image->get(), verifiedFile)) {
            ::TerminateProcess(processHandle.get(), ERROR_ACCESS_DENIED);
            LogLine({"The process started from ", path, " does not map the verified file"});
            return FailedWith(ERROR_ACCESS_DENIED);
        }
    } else {
        LogLine({"This Windows does not name the started image; started as verified by path"});
    }
    if (::ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
        DWORD error = ::GetLastError();
        ::TerminateProcess(processHandle.get(), error);
        return FailedWith(error);
    }
    // Nothing of the run stays: the setup and then its folder go at the
    // next restart (the folder only once the setup left it empty).
    DeleteAtRestart(path, RealSystem());
    std::string bare = folder;
    while (bare.size() > 3 && bare.back() == '\\') bare.pop_back();
    if ((::GetVersion() & 0x80000000u) == 0 && !bare.empty())
        (void)MoveFileExBound(bare.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return {};
}

#include "platform/unlinked_file.h"

#include "platform/system_library.h"

namespace {

bool IsNtFamily() { return (::GetVersion() & 0x80000000u) == 0; }

// Reparse points came with Windows 2000; older systems may refuse the flag.
DWORD NoFollowFlag() {
    DWORD version = ::GetVersion();
    return IsNtFamily() && LOBYTE(LOWORD(version)) >= 5 ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
}

// The layouts of the system's basic and disposition information records.
struct BasicInformation {
    LARGE_INTEGER creation, lastAccess, lastWrite, change;  // 0: left unchanged
    DWORD attributes;
};
struct DispositionInformation {
    BOOLEAN deleteFile;
};
struct IoStatus {
    void* status;
    ULONG_PTR information;
};

// Sets one information record of an open file: through
// SetFileInformationByHandle where kernel32 has it (Vista on), else through
// the native call that every NT system has.
bool SetFileInformation(HANDLE file, int byHandleClass, int nativeClass, void* record,
                        DWORD size) {
    using SetByHandleFn = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
    using NativeSetFn = LONG(WINAPI*)(HANDLE, IoStatus*, PVOID, ULONG, int);
    static const auto setByHandle = BindKernel32<SetByHandleFn>("SetFileInformationByHandle");
    if (setByHandle) return setByHandle(file, byHandleClass, record, size) != FALSE;
    static const auto nativeSet =
        BindExport<NativeSetFn>(::GetModuleHandleA("ntdll.dll"), "NtSetInformationFile");
    if (!nativeSet) return false;
    IoStatus io{};
    return nativeSet(file, &io, record, size, nativeClass) >= 0;
}

constexpr int kFileBasicInfo = 0, kFileDispositionInfo = 4;                // by handle
constexpr int kFileBasicInformation = 4, kFileDispositionInformation = 13;  // native

}  // namespace

DWORD DeleteAccess() { return IsNtFamily() ? DELETE : 0; }

OwnedHandle CreateNewFile(const std::string& path, DWORD access, DWORD share) {
    return OwnedHandle(::CreateFileA(path.c_str(), access, share, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL | NoFollowFlag(), nullptr));
}

OwnedHandle OpenUnlinkedFile(const std::string& path, DWORD access, DWORD share,
                             bool* refused) {
    if (refused) *refused = false;
    OwnedHandle file(::CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL | NoFollowFlag(), nullptr));
    if (!file) return file;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file.get(), &information)) return OwnedHandle();
    bool linked = (information.dwFileAttributes &
                   (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
                  information.nNumberOfLinks > 1;
    if (!linked) return file;
    if (refused) *refused = true;
    ::SetLastError(ERROR_ACCESS_DENIED);
    return OwnedHandle();
}

OwnedHandle OpenUnlinkedFolder(const std::string& path, DWORD share) {
    OwnedHandle folder(::CreateFileA(path.c_str(), FILE_LIST_DIRECTORY | READ_CONTROL, share,
                                     nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | NoFollowFlag(), nullptr));
    if (!folder) return folder;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(folder.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return OwnedHandle();
    return folder;
}

bool DeleteThroughHandle(HANDLE file) {
    if (!IsNtFamily()) return false;
    BY_HANDLE_FILE_INFORMATION information{};
    if (::GetFileInformationByHandle(file, &information) &&
        (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
        BasicInformation basic{};
        basic.attributes = FILE_ATTRIBUTE_NORMAL;
        SetFileInformation(file, kFileBasicInfo, kFileBasicInformation, &basic, sizeof basic);
    }
    DispositionInformation disposition{TRUE};
    return SetFileInformation(file, kFileDispositionInfo, kFileDispositionInformation,
                              &disposition, sizeof disposition);
}

#include "platform/whole_file.h"

#include <windows.h>

#include "platform/owned.h"
#include "platform/unlinked_file.h"

std::optional<std::string> ReadWholeFile(const std::string& path) {
    OwnedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char chunk[4096];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr)) return std::nullopt;
        if (read == 0) return bytes;
        bytes.append(chunk, read);
    }
}

namespace {

SystemResult WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr))
            return FailedWith(::GetLastError());
        if (written == 0) return SystemResult{ERROR_WRITE_FAULT};
        bytes.remove_prefix(written);
    }
    return {};
}

}  // namespace

SystemResult WriteWholeFile(const std::string& path, std::string_view bytes) {
    OwnedHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FailedWith(::GetLastError());
    return WriteAll(file.get(), bytes);
}

SystemResult WriteNewWholeFile(const std::string& path, std::string_view bytes) {
    OwnedHandle file = CreateNewFile(path, GENERIC_WRITE | DeleteAccess(), 0);
    if (!file) return FailedWith(::GetLastError());
    SystemResult written = WriteAll(file.get(), bytes);
    if (written) return written;
    // The handle names the file written, whatever the path names by now;
    // Windows 9x, which has no links, deletes by path.
    if (DeleteThroughHandle(file.get())) return written;
    file.reset();
    ::DeleteFileA(path.c_str());
    return written;
}

SystemResult ReplaceContent(HANDLE file, std::string_view bytes) {
    // INVALID_SET_FILE_POINTER is also a valid low half; the error tells.
    if (::SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        ::GetLastError() != NO_ERROR)
        return FailedWith(::GetLastError());
    SystemResult written = WriteAll(file, bytes);
    if (!written) return written;
    if (!::SetEndOfFile(file)) return FailedWith(::GetLastError());
    return {};
}

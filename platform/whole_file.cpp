#include "platform/whole_file.h"

#include <windows.h>

#include "platform/owned.h"

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

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    OwnedHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAll(file.get(), bytes);
}

bool WriteWholeFileOrNothing(const std::string& path, std::string_view bytes) {
    OwnedHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (WriteAll(file.get(), bytes)) return true;
    file.reset();
    ::DeleteFileA(path.c_str());
    return false;
}

#include "platform/ansi_paths.h"

#include <windows.h>

#include <optional>

#include "platform/system_library.h"

namespace {

// The longest path the wide calls take.
constexpr DWORD kLongestPath = 32768;

using GetTempPathWFn = DWORD(WINAPI*)(DWORD, LPWSTR);
using GetModuleFileNameWFn = DWORD(WINAPI*)(HMODULE, LPWSTR, DWORD);
using GetShortPathNameWFn = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

// The ANSI form of `wide` when it converts back to exactly the same text: a
// best-fit substitute ("l" for "ł") would name another file.
std::optional<std::string> ExactAnsi(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    int wideLength = static_cast<int>(wide.size());
    int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr,
                                     nullptr);
    if (size <= 0) return std::nullopt;
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, text.data(), size, nullptr, nullptr);
    int back = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (back != wideLength) return std::nullopt;
    std::wstring roundTrip(static_cast<std::size_t>(back), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, roundTrip.data(), back);
    if (roundTrip != wide) return std::nullopt;
    return text;
}

bool FitsAnsiCalls(const std::string& path) { return path.size() < MAX_PATH; }

// Calls `query(size, buffer)` with a growing buffer until the text fits; the
// query follows the GetTempPath rule (the length without the NUL when it
// fits, else the size it needs). Empty when the query fails.
template <typename Char, typename Query>
std::basic_string<Char> QueryGrowing(Query query) {
    std::basic_string<Char> buffer(MAX_PATH + 1, Char{});
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length = query(size, buffer.data());
        if (length == 0) return {};
        if (length < size) {
            buffer.resize(length);
            return buffer;
        }
        if (length > kLongestPath) return {};
        buffer.assign(length + 1, Char{});
    }
}

// GetModuleFileName fills the whole buffer when the path does not fit.
template <typename Char, typename Query>
std::basic_string<Char> ModuleFileName(Query query) {
    for (DWORD size = MAX_PATH + 1; size <= kLongestPath; size *= 2) {
        std::basic_string<Char> buffer(size, Char{});
        DWORD length = query(buffer.data(), size);
        if (length == 0) return {};
        if (length < size) {
            buffer.resize(length);
            return buffer;
        }
    }
    return {};
}

std::wstring ShortForm(const std::wstring& path) {
    auto shortPathName = BindKernel32<GetShortPathNameWFn>("GetShortPathNameW");
    if (!shortPathName) return {};
    // Past MAX_PATH the wide call wants the path in its "\\?\" form.
    std::wstring asked = path;
    bool prefixed = false;
    if (path.size() >= MAX_PATH && path.size() > 2 && path[1] == L':') {
        asked = L"\\\\?\\" + path;
        prefixed = true;
    }
    std::wstring result = QueryGrowing<wchar_t>([&](DWORD size, wchar_t* buffer) {
        return shortPathName(asked.c_str(), buffer, size);
    });
    if (prefixed && result.compare(0, 4, L"\\\\?\\") == 0) result.erase(0, 4);
    return result;
}

bool IsFolder(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string AnsiPathOf(const std::wstring& wide) {
    if (wide.empty()) return {};
    if (auto exact = ExactAnsi(wide); exact && FitsAnsiCalls(*exact)) return *exact;
    std::wstring shortPath = ShortForm(wide);
    if (shortPath.empty()) return {};
    if (auto exact = ExactAnsi(shortPath); exact && FitsAnsiCalls(*exact)) return *exact;
    return {};
}

std::string SystemTempFolder() {
    std::string folder;
    // The wide call is missing or a failing stub on Windows 9x.
    if (auto tempPathW = BindKernel32<GetTempPathWFn>("GetTempPathW")) {
        std::wstring wide = QueryGrowing<wchar_t>(tempPathW);
        if (!wide.empty()) folder = AnsiPathOf(wide);
    }
    if (folder.empty()) {
        std::string ansi = QueryGrowing<char>([](DWORD size, char* buffer) {
            return ::GetTempPathA(size, buffer);
        });
        if (FitsAnsiCalls(ansi)) folder = ansi;
    }
    if (folder.empty() || !IsFolder(folder)) return {};
    if (folder.back() != '\\') folder += '\\';
    return folder;
}

std::string ExecutablePath() {
    if (auto moduleFileNameW = BindKernel32<GetModuleFileNameWFn>("GetModuleFileNameW")) {
        std::wstring wide = ModuleFileName<wchar_t>([&](wchar_t* buffer, DWORD size) {
            return moduleFileNameW(nullptr, buffer, size);
        });
        if (!wide.empty()) return AnsiPathOf(wide);
    }
    std::string ansi = ModuleFileName<char>([](char* buffer, DWORD size) {
        return ::GetModuleFileNameA(nullptr, buffer, size);
    });
    return FitsAnsiCalls(ansi) ? ansi : std::string();
}

#include "platform/device_names.h"

#include <windows.h>

#include "platform/system_library.h"

namespace {

std::wstring Wide(const std::string& text, unsigned codePage) {
    if (text.empty()) return {};
    int length = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

// The system's own answer, where it has the call (the NT family): it knows
// the device names of its version, whatever this list misses.
bool SystemCallsItADevice(const std::wstring& name) {
    using IsDosDeviceNameFn = ULONG(WINAPI*)(PCWSTR);
    static const auto isDosDeviceName =
        BindExport<IsDosDeviceNameFn>(::GetModuleHandleA("ntdll.dll"), "RtlIsDosDeviceName_U");
    return isDosDeviceName && isDosDeviceName(name.c_str()) != 0;
}

}  // namespace

bool IsDeviceName(const std::string& name, unsigned codePage) {
    std::wstring wide = Wide(name, codePage);
    if (wide.empty()) return false;
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "the system's wide text is UTF-16");
    std::u16string text(wide.begin(), wide.end());
    return IsReservedDeviceName(text) || SystemCallsItADevice(wide + L".url");
}

bool IsDeviceName(const std::string& name) { return IsDeviceName(name, CP_ACP); }

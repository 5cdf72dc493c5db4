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

bool IsReservedBase(std::wstring base) {
    for (wchar_t& c : base)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    for (const wchar_t* word : {L"con", L"prn", L"aux", L"nul", L"conin$", L"conout$"})
        if (base == word) return true;
    if (base.size() != 4 || (base.compare(0, 3, L"com") != 0 && base.compare(0, 3, L"lpt") != 0))
        return false;
    wchar_t digit = base[3];
    // The superscripts one, two and three count as digits to the device lookup.
    return (digit >= L'0' && digit <= L'9') || digit == 0x00B9 || digit == 0x00B2 ||
           digit == 0x00B3;
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
    // The extension does not matter, nor blanks and dots at the end.
    std::wstring base = wide.substr(0, wide.find(L'.'));
    while (!base.empty() && (base.back() == L' ' || base.back() == L'.')) base.pop_back();
    return IsReservedBase(base) || SystemCallsItADevice(wide + L".url");
}

bool IsDeviceName(const std::string& name) { return IsDeviceName(name, CP_ACP); }

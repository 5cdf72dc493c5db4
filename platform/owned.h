// One move-only owner for every kind of Windows handle the program creates.
// A raw handle anywhere else means "borrowed". Release() hands the handle on
// (a region given to SetWindowRgn belongs to the window from then on).
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class Owned {
public:
    using Handle = typename Traits::Handle;

    Owned() noexcept = default;
    explicit Owned(Handle h) noexcept : handle_(h) {}
    ~Owned() { reset(); }

    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(other.Release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) reset(other.Release());
        return *this;
    }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return Traits::IsValid(handle_); }

    Handle Release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Handle h = Traits::Invalid()) noexcept {
        Handle old = std::exchange(handle_, h);
        if (Traits::IsValid(old)) Traits::Close(old);
    }

private:
    Handle handle_ = Traits::Invalid();
};

namespace handle_traits {

template <typename H>
struct NullIsInvalid {
    using Handle = H;
    static constexpr Handle Invalid() noexcept { return nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr; }
};

struct Kernel : NullIsInvalid<HANDLE> {
    static bool IsValid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};

template <typename H>
struct GdiObject : NullIsInvalid<H> {
    static void Close(H h) noexcept { ::DeleteObject(h); }
};

struct MemoryDC : NullIsInvalid<HDC> {
    static void Close(HDC h) noexcept { ::DeleteDC(h); }
};

struct Module : NullIsInvalid<HMODULE> {
    static void Close(HMODULE h) noexcept { ::FreeLibrary(h); }
};

struct Global : NullIsInvalid<HGLOBAL> {
    static void Close(HGLOBAL h) noexcept { ::GlobalFree(h); }
};

struct Virtual : NullIsInvalid<void*> {
    static void Close(void* p) noexcept { ::VirtualFree(p, 0, MEM_RELEASE); }
};

struct Window : NullIsInvalid<HWND> {
    static void Close(HWND h) noexcept { ::DestroyWindow(h); }
};

struct Registry : NullIsInvalid<HKEY> {
    static void Close(HKEY h) noexcept { ::RegCloseKey(h); }
};

struct FileSearch : NullIsInvalid<HANDLE> {
    static bool IsValid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) noexcept { ::FindClose(h); }
};

}  // namespace handle_traits

using OwnedHandle = Owned<handle_traits::Kernel>;
using OwnedBitmap = Owned<handle_traits::GdiObject<HBITMAP>>;
using OwnedRegion = Owned<handle_traits::GdiObject<HRGN>>;
using OwnedFont = Owned<handle_traits::GdiObject<HFONT>>;
using OwnedBrush = Owned<handle_traits::GdiObject<HBRUSH>>;
using OwnedPen = Owned<handle_traits::GdiObject<HPEN>>;
using OwnedMemoryDC = Owned<handle_traits::MemoryDC>;
using OwnedModule = Owned<handle_traits::Module>;
using OwnedGlobal = Owned<handle_traits::Global>;
using OwnedVirtualMemory = Owned<handle_traits::Virtual>;
using OwnedWindow = Owned<handle_traits::Window>;
using OwnedRegKey = Owned<handle_traits::Registry>;
using OwnedFileSearch = Owned<handle_traits::FileSearch>;

// GetDC / ReleaseDC for the lifetime of a scope.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDC() { if (dc_) ::ReleaseDC(hwnd_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint / EndPaint for one WM_PAINT.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) noexcept : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
    ~PaintScope() { ::EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const noexcept { return dc_; }
    const RECT& dirty() const noexcept { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

// SelectObject with the previous object put back at the end of the scope.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), previous_(::SelectObject(dc, obj)) {}
    ~SelectScope() { if (previous_) ::SelectObject(dc_, previous_); }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

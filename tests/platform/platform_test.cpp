#include <windows.h>

#include <gtest/gtest.h>

#include "platform/locale_format.h"
#include "platform/memory_surface.h"
#include "platform/message_pump.h"
#include "platform/owned.h"
#include "platform/system_library.h"

namespace {

TEST(Owned, ClosesExactlyOnceAcrossMoves) {
    OwnedHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    HANDLE raw = event.get();
    OwnedHandle moved(std::move(event));
    EXPECT_FALSE(event);
    EXPECT_EQ(moved.get(), raw);
    OwnedHandle assigned;
    assigned = std::move(moved);
    EXPECT_EQ(assigned.get(), raw);
    assigned.reset();
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(raw, &flags)) << "closed by reset";
}

TEST(Owned, ReleaseHandsTheHandleOn) {
    OwnedRegion region(::CreateRectRgn(0, 0, 4, 4));
    HRGN raw = region.Release();
    EXPECT_FALSE(region);
    RECT box;
    EXPECT_NE(::GetRgnBox(raw, &box), ERROR) << "still alive after Release";
    ::DeleteObject(raw);
}

TEST(MemorySurface, DrawsAndMoves) {
    MemorySurface surface;
    ASSERT_TRUE(surface.Create(nullptr, 8, 6));
    EXPECT_EQ(surface.width(), 8);
    ::SetPixelV(surface.dc(), 3, 2, RGB(1, 2, 3));
    MemorySurface other(std::move(surface));
    EXPECT_FALSE(surface);
    EXPECT_EQ(::GetPixel(other.dc(), 3, 2), RGB(1, 2, 3));
    MemorySurface mono;
    ASSERT_TRUE(mono.Create(nullptr, 8, 8, true));
    EXPECT_FALSE(mono.Create(nullptr, 0, 8)) << "an empty size is refused";
}

TEST(MessagePump, PumpUntilRunsHandlersWhileWaiting) {
    int ticks = 0;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 10, nullptr);
    ASSERT_NE(timer, 0u);
    // Thread timers arrive as WM_TIMER without a window; count them.
    EXPECT_TRUE(PumpUntil([&] {
        MSG msg;
        if (::PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) ++ticks;
        return ticks >= 3;
    }));
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(ticks, 3);
}

TEST(MessagePump, SignalledObjectEndsTheWait) {
    OwnedHandle event(::CreateEventA(nullptr, TRUE, TRUE, nullptr));
    EXPECT_TRUE(PumpUntilSignalled(event.get()));
}

TEST(SystemLibrary, LoadsFromTheSystemFolderOnly) {
    OwnedModule advpack = LoadSystemLibrary("advpack.dll");
    EXPECT_TRUE(advpack);
    EXPECT_FALSE(LoadSystemLibrary("no_such_library_here.dll"));
    EXPECT_NE(BindKernel32<void*>("GetVersionExA"), nullptr);
    EXPECT_EQ(BindKernel32<void*>("NoSuchExport"), nullptr);
}

TEST(LocaleFormat, RoundsAsTheNumberReads) {
    EXPECT_EQ(FormatLocaleNumber(1.025, 2, false), "1.03");
    EXPECT_EQ(FormatLocaleNumber(2.5, 0, false), "3");
    EXPECT_EQ(FormatLocaleNumber(0.004, 2, false), "0.00");
    EXPECT_EQ(FormatLocaleNumber(1234567.891, 2, true), "1,234,567.89");
    EXPECT_EQ(FormatLocaleNumber(1234567.891, 2, false), "1234567.89");
}

}  // namespace

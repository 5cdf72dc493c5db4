// The end-to-end driver: a Windows-side test program that starts TSCheck.exe,
// finds its windows, reads their texts, moves and clicks the mouse, presses
// keys, takes screenshots and reports the full 32-bit exit code.
//
// Steps come as arguments and run in order; each prints lines on stdout:
//   launch <exe>               start the program (working folder: its own)
//   launch-with <exe> <args>   the same with arguments after the program's path
//   wait-window <title> <s>    wait for a visible window of the program with that
//                              caption and make it the current window
//   wait-other <s>             wait for a visible window of the program other
//                              than the current main one (a message box)
//   wait-gone <s>              wait until the current window is gone
//   dump                       "dump", then "top"/"child" lines for the program's windows
//   move <x> <y>, click <x> <y>  pointer at client coordinates of the current window
//   drag <x1> <y1> <x2> <y2>   press the left button at one point, move to the
//                              other (client coordinates at the start), release
//   hit <x> <y>                "hit <class> <title>" of the window that a click at
//                              client coordinates of the current window would reach
//   press-ok                   click the OK button of the current message box
//   key <vk>                   press and release a virtual key
//   shot <file.bmp>            the whole screen as a 24-bit BMP
//   sleep <ms>
//   clock                      "clock <milliseconds since some start>"
//   copy <from> <to>           copy a file (to look at it while the program runs)
//   wait-exit <s>              "exit-code <n>", after "crash <code>" for an exception
//                              code (or "exit-code timeout answering=yes|no|no-window",
//                              then kills)
//   measure-exit <s>           the same, then "stats cpu_ms=.. peak_kb=.. clock=.."
//   watch-exit <s>             the same, and meanwhile "appeared <class> <title>"
//                              for every visible top-level window of the program
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

PROCESS_INFORMATION g_process{};
HWND g_current = nullptr;
HWND g_main = nullptr;

struct Search {
    DWORD processId;
    const char* title;   // null: any window but g_main
    HWND found;
};

BOOL CALLBACK FindTop(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->processId || !::IsWindowVisible(hwnd)) return TRUE;
    char title[256] = {};
    ::GetWindowTextA(hwnd, title, sizeof title);
    if (search->title ? std::string(title) == search->title : hwnd != g_main) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitFor(const char* title, double seconds) {
    DWORD deadline = ::GetTickCount() + static_cast<DWORD>(seconds * 1000);
    do {
        Search search{g_process.dwProcessId, title, nullptr};
        ::EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (::WaitForSingleObject(g_process.hProcess, 20) == WAIT_OBJECT_0) return nullptr;
    } while (::GetTickCount() < deadline);
    return nullptr;
}

std::string Quoted(const char* text) {
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        if (*p == '\r') out += "\\r";
        else if (*p == '\n') out += "\\n";
        else if (*p == '"' || *p == '\\') { out += '\\'; out += *p; }
        else out += *p;
    }
    return out + "\"";
}

BOOL CALLBACK DumpChild(HWND child, LPARAM top) {
    char cls[64] = {}, text[1024] = {};
    ::GetClassNameA(child, cls, sizeof cls);
    // A program whose window thread no longer answers is reported, not
    // waited for: the scenario fails with a dump instead of hanging.
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                               SMTO_ABORTIFHUNG, 5000, &copied))
        std::snprintf(text, sizeof text, "<no answer>");
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, reinterpret_cast<HWND>(top), reinterpret_cast<POINT*>(&r), 2);
    std::printf("child %s %ld %ld %ld %ld %d %s\n", cls, r.left, r.top, r.right - r.left,
                r.bottom - r.top, ::IsWindowVisible(child) ? 1 : 0, Quoted(text).c_str());
    return TRUE;
}

BOOL CALLBACK DumpTop(HWND hwnd, LPARAM) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != g_process.dwProcessId || !::IsWindowVisible(hwnd)) return TRUE;
    char cls[64] = {}, title[256] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    ::GetWindowTextA(hwnd, title, sizeof title);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ::ClientToScreen(hwnd, &origin);
    LONG exStyle = ::GetWindowLongA(hwnd, GWL_EXSTYLE);
    std::printf("top %s %ld %ld %ld %ld %s topmost=%d\n", cls, origin.x, origin.y, client.right,
                client.bottom, Quoted(title).c_str(), (exStyle & WS_EX_TOPMOST) ? 1 : 0);
    ::EnumChildWindows(hwnd, DumpChild, reinterpret_cast<LPARAM>(hwnd));
    return TRUE;
}

// "appeared" once for each visible top-level window of the program.
BOOL CALLBACK ReportNewWindows(HWND hwnd, LPARAM param) {
    auto* seen = reinterpret_cast<std::vector<HWND>*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != g_process.dwProcessId || !::IsWindowVisible(hwnd)) return TRUE;
    for (HWND known : *seen)
        if (known == hwnd) return TRUE;
    seen->push_back(hwnd);
    char cls[64] = {}, title[256] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    ::GetWindowTextA(hwnd, title, sizeof title);
    std::printf("appeared %s %s\n", cls, Quoted(title).c_str());
    std::fflush(stdout);
    return TRUE;
}

void SendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof input);
}

// An absolute move through the input queue, like a real mouse.
void ScreenPointerTo(POINT at) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(at.x * 65535.0 / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>(at.y * 65535.0 / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof input);
    ::SetCursorPos(at.x, at.y);
}

// Pauses that let Wine route input stretch with the emulated machine's time
// scale, as the harness stretches its own waits.
DWORD TimeScale() {
    const char* text = std::getenv("TSCHECK_TEST_TIME_SCALE");
    int scale = text ? std::atoi(text) : 1;
    return static_cast<DWORD>(scale < 1 ? 1 : scale > 20 ? 20 : scale);
}

void Settle(DWORD ms) { ::Sleep(ms * TimeScale()); }

bool PointerTo(int x, int y) {
    if (!g_current) return false;
    POINT at{x, y};
    ::ClientToScreen(g_current, &at);
    // A slow display may still deliver an older pointer position after the
    // move; a button pressed then would land elsewhere. Move again until the
    // pointer stays where it was sent.
    for (int attempt = 0; attempt < 3; ++attempt) {
        ScreenPointerTo(at);
        Settle(150);
        POINT now{};
        if (::GetCursorPos(&now) && now.x == at.x && now.y == at.y) break;
    }
    return true;
}

void ClickLeft() {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Settle(50);
    SendMouse(MOUSEEVENTF_LEFTUP);
    Settle(150);
}

bool Screenshot(const char* path) {
    int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files are
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ::GdiFlush();
    DWORD stride = ((width * 3 + 3) / 4) * 4, size = stride * height;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    info.bmiHeader.biSizeImage = size;
    bool ok = false;
    if (FILE* out = std::fopen(path, "wb")) {
        ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
             std::fwrite(bits, size, 1, out) == 1;
        std::fclose(out);
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return ok;
}

// The started program's processor time so far (user and kernel), in ms.
unsigned long ProcessorMs() {
    FILETIME created, ended, kernel, user;
    if (!::GetProcessTimes(g_process.hProcess, &created, &ended, &kernel, &user)) return 0;
    ULONGLONG total = (ULONGLONG{kernel.dwHighDateTime} << 32 | kernel.dwLowDateTime) +
                      (ULONGLONG{user.dwHighDateTime} << 32 | user.dwLowDateTime);
    return static_cast<unsigned long>(total / 10000);
}

// Whether the program's visible windows still answer a message: "yes", "no"
// (a window thread is stuck, or the program has crashed and stopped), or
// "no-window".
struct Answer {
    int windows = 0;
    bool stuck = false;
};
BOOL CALLBACK AskWindow(HWND hwnd, LPARAM param) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != g_process.dwProcessId || !::IsWindowVisible(hwnd)) return TRUE;
    auto* answer = reinterpret_cast<Answer*>(param);
    ++answer->windows;
    DWORD_PTR ignored = 0;
    if (!::SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored))
        answer->stuck = true;
    return TRUE;
}
const char* Answering() {
    Answer answer;
    ::EnumWindows(AskWindow, reinterpret_cast<LPARAM>(&answer));
    return answer.windows == 0 ? "no-window" : answer.stuck ? "no" : "yes";
}

// "exit-code <n>" once the program has ended, after "crash <code>" when it
// ended with an exception code; or "exit-code timeout answering=..." after
// ending it.
void ReportExit(DWORD waited) {
    if (waited != WAIT_OBJECT_0) {
        std::printf("exit-code timeout answering=%s\n", Answering());
        ::TerminateProcess(g_process.hProcess, 1);
        return;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(g_process.hProcess, &code);
    // With Wine's crash dialog off, a crashed program ends at once with its
    // exception's code: 0xC0000005 for an access violation, and the other
    // codes of the error class.
    if ((code & 0xF0000000u) == 0xC0000000u) std::printf("crash 0x%08lX\n", code);
    std::printf("exit-code %lu\n", code);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    auto next = [&](std::size_t& i) -> std::string {
        if (i + 1 >= args.size()) {
            std::printf("error missing-argument %s\n", args[i].c_str());
            std::exit(2);
        }
        return args[++i];
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        // What the steps have printed survives the driver being killed.
        std::fflush(stdout);
        const std::string& step = args[i];
        if (step == "launch" || step == "launch-with") {
            std::string exe = next(i);
            std::string folder = exe.substr(0, exe.find_last_of('\\'));
            STARTUPINFOA startup{};
            startup.cb = sizeof startup;
            std::string line = "\"" + exe + "\"";
            if (step == "launch-with") line += " " + next(i);
            if (!::CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &startup, &g_process)) {
                std::printf("error launch %lu\n", ::GetLastError());
                return 1;
            }
            std::printf("launched %lu\n", g_process.dwProcessId);
        } else if (step == "wait-window") {
            std::string title = next(i);
            double seconds = std::atof(next(i).c_str());
            g_current = g_main = WaitFor(title.c_str(), seconds);
            std::printf("window %s\n", g_current ? "found" : "missing");
        } else if (step == "wait-other") {
            double seconds = std::atof(next(i).c_str());
            HWND other = WaitFor(nullptr, seconds);
            if (other) g_current = other;
            std::printf("other %s\n", other ? "found" : "missing");
        } else if (step == "wait-gone") {
            double seconds = std::atof(next(i).c_str());
            DWORD deadline = ::GetTickCount() + static_cast<DWORD>(seconds * 1000);
            while (g_current && ::IsWindow(g_current) && ::IsWindowVisible(g_current) &&
                   ::GetTickCount() < deadline)
                ::Sleep(50);
            bool gone = !g_current || !::IsWindow(g_current) || !::IsWindowVisible(g_current);
            std::printf("gone %d\n", gone ? 1 : 0);
            if (gone) g_current = g_main;
        } else if (step == "use-main") {
            g_current = g_main;
        } else if (step == "dump") {
            std::printf("dump\n");
            ::EnumWindows(DumpTop, 0);
        } else if (step == "move" || step == "click") {
            int x = std::atoi(next(i).c_str()), y = std::atoi(next(i).c_str());
            if (!PointerTo(x, y)) std::printf("error no-window\n");
            if (step == "click") ClickLeft();
        } else if (step == "drag") {
            POINT from{std::atoi(next(i).c_str()), std::atoi(next(i).c_str())};
            POINT to{std::atoi(next(i).c_str()), std::atoi(next(i).c_str())};
            if (!g_current) {
                std::printf("error no-window\n");
                continue;
            }
            // Both points are fixed on the screen first: the window moves.
            ::ClientToScreen(g_current, &from);
            ::ClientToScreen(g_current, &to);
            ScreenPointerTo(from);
            ::Sleep(150);
            SendMouse(MOUSEEVENTF_LEFTDOWN);
            ::Sleep(150);
            for (int part = 1; part <= 10; ++part) {
                ScreenPointerTo(POINT{from.x + (to.x - from.x) * part / 10,
                                      from.y + (to.y - from.y) * part / 10});
                ::Sleep(40);
            }
            SendMouse(MOUSEEVENTF_LEFTUP);
            ::Sleep(200);
        } else if (step == "hit") {
            POINT at{std::atoi(next(i).c_str()), std::atoi(next(i).c_str())};
            if (g_current) ::ClientToScreen(g_current, &at);
            HWND reached = ::WindowFromPoint(at);
            char cls[64] = {}, title[256] = {};
            if (reached) {
                ::GetClassNameA(reached, cls, sizeof cls);
                ::GetWindowTextA(reached, title, sizeof title);
            }
            std::printf("hit %s %s\n", reached ? cls : "none", Quoted(title).c_str());
        } else if (step == "press-ok") {
            // The skinned box keeps its OK face in button slot 0 at (8, 160).
            POINT at{8 + 40, 160 + 12};
            if (HWND button = ::FindWindowExA(g_current, nullptr, "Button", "OK")) {
                RECT r;
                ::GetWindowRect(button, &r);
                at = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                ::ScreenToClient(g_current, &at);
            }
            PointerTo(at.x, at.y);
            ClickLeft();
        } else if (step == "key") {
            WORD vk = static_cast<WORD>(std::atoi(next(i).c_str()));
            INPUT input[2]{};
            input[0].type = input[1].type = INPUT_KEYBOARD;
            input[0].ki.wVk = input[1].ki.wVk = vk;
            input[1].ki.dwFlags = KEYEVENTF_KEYUP;
            ::SendInput(2, input, sizeof(INPUT));
            ::Sleep(60);
        } else if (step == "shot") {
            std::string path = next(i);
            std::printf("shot %s %d\n", path.c_str(), Screenshot(path.c_str()) ? 1 : 0);
        } else if (step == "copy") {
            std::string from = next(i), to = next(i);
            std::printf("copy %d\n", ::CopyFileA(from.c_str(), to.c_str(), FALSE) ? 1 : 0);
        } else if (step == "clock") {
            std::printf("clock %lu\n", ::GetTickCount());
        } else if (step == "sleep") {
            ::Sleep(static_cast<DWORD>(std::atoi(next(i).c_str())));
        } else if (step == "measure-exit") {
            // For the benchmarks: waits like wait-exit, watching the peak
            // working set (which cannot be read once the process is gone),
            // then prints the process's processor time as well.
            // Every 50 ms it also times a WM_NULL to the window of the last
            // wait-window: the longest wait for an answer, and when it began
            // after the step.
            double seconds = std::atof(next(i).c_str());
            DWORD begun = ::GetTickCount();
            DWORD deadline = begun + static_cast<DWORD>(seconds * 1000);
            SIZE_T peak = 0;
            DWORD waited = WAIT_TIMEOUT, longest = 0, longestAt = 0;
            while (waited == WAIT_TIMEOUT && ::GetTickCount() < deadline) {
                PROCESS_MEMORY_COUNTERS counters{};
                counters.cb = sizeof counters;
                if (::GetProcessMemoryInfo(g_process.hProcess, &counters, sizeof counters) &&
                    counters.PeakWorkingSetSize > peak)
                    peak = counters.PeakWorkingSetSize;
                if (g_main && ::IsWindow(g_main)) {
                    DWORD asked = ::GetTickCount();
                    DWORD_PTR ignored = 0;
                    ::SendMessageTimeoutA(g_main, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
                    DWORD took = ::GetTickCount() - asked;
                    if (took > longest) longest = took, longestAt = asked - begun;
                }
                waited = ::WaitForSingleObject(g_process.hProcess, 50);
            }
            ReportExit(waited);
            std::printf("stats cpu_ms=%lu peak_kb=%lu clock=%lu answer_longest_ms=%lu "
                        "answer_at_ms=%lu\n",
                        ProcessorMs(), static_cast<unsigned long>(peak / 1024), ::GetTickCount(),
                        longest, longestAt);
        } else if (step == "cpu") {
            std::printf("cpu cpu_ms=%lu clock=%lu\n", ProcessorMs(), ::GetTickCount());
        } else if (step == "wait-exit" || step == "watch-exit") {
            double seconds = std::atof(next(i).c_str());
            DWORD waited = WAIT_TIMEOUT;
            if (step == "watch-exit") {
                // A window shown for a moment still counts: look every 20 ms.
                std::vector<HWND> seen;
                DWORD deadline = ::GetTickCount() + static_cast<DWORD>(seconds * 1000);
                do {
                    ::EnumWindows(ReportNewWindows, reinterpret_cast<LPARAM>(&seen));
                    waited = ::WaitForSingleObject(g_process.hProcess, 20);
                } while (waited != WAIT_OBJECT_0 && ::GetTickCount() < deadline);
            } else {
                waited = ::WaitForSingleObject(g_process.hProcess, static_cast<DWORD>(seconds * 1000));
            }
            ReportExit(waited);
        } else {
            std::printf("error unknown-step %s\n", step.c_str());
            return 2;
        }
        std::fflush(stdout);
    }
    return 0;
}

// Not a test: downloads one URL through the download control and prints the
// time it took and the process's peak working set, for
// tools/download_benchmark.py to compare with curl.
//   download_benchmark.exe <url> <save file>
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "net/downloader.h"
#include "platform/message_pump.h"
#include "platform/system_library.h"

namespace {

SIZE_T PeakWorkingSet() {
    using GetMemoryInfoFn = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
    auto query = BindKernel32<GetMemoryInfoFn>("K32GetProcessMemoryInfo");
    OwnedModule psapi;
    if (!query) {
        psapi = LoadSystemLibrary("psapi.dll");
        query = BindExport<GetMemoryInfoFn>(psapi.get(), "GetProcessMemoryInfo");
    }
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!query || !query(::GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.PeakWorkingSetSize;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: download_benchmark <url> <save file>\n");
        return 2;
    }
    Downloader control([](const std::string& text, const std::string&) {
        std::fprintf(stderr, "%s\n", text.c_str());
    }, WinInet());
    std::int64_t bytes = 0;
    bool done = false;
    bool failed = false;
    control.OnDownloadProgress = [&](std::int64_t read, std::int64_t, const std::string&) {
        bytes = read;
    };
    control.OnDownloadError = [&](const std::string&) { failed = true; };
    control.OnDownloadAllComplete = [&](const std::vector<std::string>&) { done = true; };

    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    control.BeginDownload(argv[1], argv[2]);
    PumpUntil([&] { return done; });
    ::QueryPerformanceCounter(&end);

    double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    std::printf("bytes=%lld seconds=%.3f peak_working_set_kb=%lu result=%s\n",
                static_cast<long long>(bytes), seconds,
                static_cast<unsigned long>(PeakWorkingSet() / 1024), failed ? "error" : "ok");
    return failed ? 1 : 0;
}

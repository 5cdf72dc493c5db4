// TSCheck: checks this computer against the Tavrin Secure requirements and
// tells whatever started it the verdict through the exit code.
#include <windows.h>
#include <ole2.h>

#include "app/frm_ts_check.h"
#include "app/program_arguments.h"
#include "platform/run_log.h"
#include "platform/system_library.h"

#ifndef TSCHECK_VERSION
#define TSCHECK_VERSION "unknown"
#endif

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HardenDllSearch();
    ProgramArguments arguments = ReadArguments(::GetCommandLineA());
    std::string logPath = arguments.log ? OpenRunLog(arguments.logPath) : std::string();
    LogLine({"TSCheck " TSCHECK_VERSION " started, arguments: ", arguments.text});
    ::OleInitialize(nullptr);

    // Every end of the program, early or with the verdict, arrives here as
    // WM_QUIT carrying the exit code; this is the one place the process ends.
    MSG msg{};
    {
        frmTSCheck form(std::move(arguments), std::move(logPath));
        form.Load();
        form.Show();
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    ::OleUninitialize();
    auto exitCode = static_cast<DWORD>(msg.wParam);
    LogLine({"Exit code ", std::to_string(exitCode)});
    CloseRunLog();
    return static_cast<int>(exitCode);
}

// TSCheck: checks this computer against the Tavrin Secure requirements and
// tells whatever started it the verdict through the exit code.
#include <windows.h>
#include <ole2.h>

#include "app/program_arguments.h"
#include "app/program_wiring.h"
#include "platform/file_owner.h"
#include "platform/run_log.h"
#include "platform/system_error.h"
#include "platform/system_library.h"

#ifndef TSCHECK_VERSION
#define TSCHECK_VERSION "unknown"
#endif

namespace {

// OLE for the shell, which may start the setup program through handlers that
// need it; ended only when it began.
class OleSession {
public:
    OleSession() : result_(::OleInitialize(nullptr)) {}
    ~OleSession() {
        if (SUCCEEDED(result_)) ::OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HardenDllSearch();
    ProgramArguments arguments = ReadArguments(::GetCommandLineA());
    // The elevated copy appends to what the copy that started it made; any
    // other elevated run writes only where the user could.
    LogAccess access = !ProcessIsElevated() ? LogAccess::CreateOrAppend
                       : arguments.elevated ? LogAccess::AppendToUsersOwn
                                            : LogAccess::UsersOwnOnly;
    std::string logPath = arguments.log ? OpenRunLog(arguments.logPath, access) : std::string();
    LogLine({"TSCheck " TSCHECK_VERSION " started, arguments: ", arguments.text});
    std::uint32_t exitCode = 0;
    {
        // The checks need no OLE and the shell starts plain programs
        // without it: a failure is logged and the run goes on.
        OleSession ole;
        if (FAILED(ole.result()))
            LogLine({"OLE could not start: ",
                     SystemErrorText(static_cast<unsigned long>(ole.result()))});
        exitCode = RunProgram(std::move(arguments), std::move(logPath));
    }
    // This is the one place the process ends.
    LogLine({"Exit code ", std::to_string(exitCode)});
    CloseRunLog();
    return static_cast<int>(exitCode);
}

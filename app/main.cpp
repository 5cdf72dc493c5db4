// TSCheck: checks this computer against the Tavrin Secure requirements and
// tells whatever started it the verdict through the exit code.
#include <windows.h>
#include <ole2.h>

#include "app/frm_ts_check.h"
#include "platform/system_library.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HardenDllSearch();
    ::OleInitialize(nullptr);

    // Every end of the program, early or with the verdict, arrives here as
    // WM_QUIT carrying the exit code; this is the one place the process ends.
    MSG msg{};
    {
        frmTSCheck form;
        form.Load();
        form.Show();
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    ::OleUninitialize();
    return static_cast<int>(msg.wParam);
}

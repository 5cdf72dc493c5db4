// TSCheck: checks this computer against the Tavrin Secure requirements and
// tells whatever started it the verdict through the exit code.
#include <windows.h>
#include <ole2.h>

#include "app/frm_ts_check.h"
#include "platform/system_library.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HardenDllSearch();
    ::OleInitialize(nullptr);

    frmTSCheck form;
    form.Load();
    form.Show();

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    ::OleUninitialize();
    return static_cast<int>(msg.wParam);
}

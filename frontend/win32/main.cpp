#include "frontend/win32/form1_window.h"
#include "frontend/win32/win32_front.h"
#include "game/app_info.h"
#include "settings/settings_store_registry.h"

#include <windows.h>

#include <shellapi.h>

#include <cwchar>

namespace {

// The installer's step (a deferred custom action, with the installer's rights): no window.
bool isSetupStep() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    const bool setup = args && count == 2 && std::wcscmp(args[1], L"--setup-store") == 0;
    LocalFree(args);
    return setup;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    if (isSetupStep()) return store::openToEveryAccount(kAppKey) ? 0 : 1;
    // Before the records are read: once installed, this account's own copy joins the machine's.
    store::mergeUserCopy(kAppKey);

    Form1Window window;
    window.onDestroyed = [] { PostQuitMessage(0); };
    window.show(showCommand);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

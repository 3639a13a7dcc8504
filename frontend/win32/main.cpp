#include "frontend/win32/form1_window.h"
#include "frontend/win32/win32_front.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
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

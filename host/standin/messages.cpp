// Message pumping for a caller busy in a long loop on the window thread.
#include "hote.h"

// Bounds one call, in case a window keeps posting to itself.
#define MESSAGES_PAR_APPEL 4096

extern "C" BOOL WINAPI KMMessageLoop(HWND hwnd)
{
    MSG msg;
    for (int n = 0; n < MESSAGES_PAR_APPEL && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); n++) {
        if (msg.message == WM_QUIT) {
            // Not ours to act on: put it back for the caller's own loop.
            PostQuitMessage((int)msg.wParam);
            break;
        }
        if (!hwnd || !IsDialogMessageA(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return TRUE;
}

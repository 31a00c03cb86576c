// Session and message pumping: real windows in the test process.
#include "cabinet_ecrit.h"

static int g_recus;

static LRESULT CALLBACK compter(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_APP)
        g_recus++;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

TEST(Session, BoucleDeMessagesDistribueEtRendLaMainAvecWM_QUIT)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = compter;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "hote_test";
    RegisterClassA(&wc);
    HWND hwnd =
        CreateWindowA("hote_test", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
    ASSERT_NE(hwnd, nullptr);

    g_recus = 0;
    for (int i = 0; i < 3; i++)
        PostMessageA(hwnd, WM_APP, 0, 0);
    EXPECT_TRUE(KMMessageLoop(hwnd));
    EXPECT_EQ(g_recus, 3);

    // A WM_QUIT taken out of the queue is put back for the caller's own loop.
    PostQuitMessage(7);
    PostMessageA(hwnd, WM_APP, 0, 0);
    EXPECT_TRUE(KMMessageLoop(hwnd));  // returns: no endless taking and putting back
    MSG msg;
    bool quit = false;
    for (int i = 0; i < 100 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); i++) {
        if (msg.message == WM_QUIT) {
            quit = true;
            EXPECT_EQ(msg.wParam, 7u);
        } else {
            DispatchMessageA(&msg);
        }
    }
    EXPECT_TRUE(quit);
    EXPECT_EQ(g_recus, 4);
    DestroyWindow(hwnd);
}

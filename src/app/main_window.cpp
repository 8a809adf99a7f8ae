#include "app/main_window.h"

#include "app/app_context.h"
#include "app/fatal_error.h"

void askFullScreen()
{
    const int answer = shell().showMessageBox("Demo", "Would you like to run in fullscreen mode?",
                                              MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES) {
        appContext.fullScreen = true;
    } else if (answer == IDNO) {
        appContext.fullScreen = false;
    } else if (answer == IDCANCEL) {
        shell().outputDebugString("User Abort");
        shell().showMessageBox("Demo", "User Abort", MB_OK);
        shell().exitProcess(5);
    } else if (answer == 0) {
        shell().outputDebugString("Couldn't open MessageBox, dying");
        shell().exitProcess(10);
    }
    // Any other answer keeps the initial windowed mode.
}

void createMainWindow()
{
    WindowClass windowClass;
    windowClass.style = CS_OWNDC;
    windowClass.windowProc = &windowProc;
    windowClass.instance = appContext.instance;
    windowClass.className = kWindowClassName;
    if (!shell().registerClass(windowClass)) fatalError("Error registering window class");

    int width = 800;
    int height = 600;
    DWORD style = WS_SYSMENU;
    if (appContext.fullScreen) {
        width = shell().getSystemMetrics(SM_CXSCREEN);
        height = shell().getSystemMetrics(SM_CYSCREEN);
        style = WS_POPUP;
    }
    appContext.window = shell().createWindow(kWindowClassName, kWindowTitle, style, 0, 0, width, height,
                                             appContext.instance);
    if (!appContext.window) fatalError("Error opening window");

    shell().showWindow(appContext.window);
    shell().updateWindow(appContext.window);
    shell().setFocus(appContext.window);
}

LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        shell().postQuitMessage(0);
        return 0;
    case WM_PAINT:
        return 0;
    case WM_CLOSE:
        // The window stays until shutdown destroys it.
        appContext.quitRequested = true;
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) appContext.quitRequested = true;
        return 0;
    default:
        return shell().defWindowProc(window, message, wParam, lParam);
    }
}

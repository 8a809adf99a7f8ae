#include "app/display_teardown.h"

#include "app/app_context.h"
#include "app/main_window_names.h"
#include "platform/shell/shell.h"
#include "script/scripter.h"

void tearDownDisplay(bool showCursorAgain)
{
    appContext.scripter.reset();
    safeRelease(appContext.device);
    safeRelease(appContext.direct3d);
    if (showCursorAgain && appContext.fullScreen) shell().showCursor(true);
    destroyMainWindow();
}

void destroyMainWindow()
{
    if (appContext.window) {
        if (shell().destroyWindow(appContext.window)) {
            MSG message;
            while (shell().peekMessage(&message)) shell().dispatchMessage(message);
        } else {
            shell().outputDebugString("   Failed to DestroyWindow\n");
            shell().showMessageBox("Demo", "Destroy Window Failed", MB_ICONERROR | MB_TOPMOST);
        }
        appContext.window = nullptr;
    }
    if (!shell().unregisterClass(kWindowClassName, appContext.instance)) {
        shell().outputDebugString("   Failed to Unregister Window\n");
        shell().showMessageBox("Demo", "Unregister Failed", MB_ICONERROR | MB_TOPMOST);
    }
}

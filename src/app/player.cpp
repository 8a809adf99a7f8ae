#include "app/player.h"

#include "app/app_context.h"
#include "app/clock.h"
#include "app/container_startup.h"
#include "app/display_device.h"
#include "app/display_teardown.h"
#include "app/main_window.h"
#include "archive/archive_access.h"
#include "archive/resource_archive.h"
#include "platform/flash/extracted_movie.h"
#include "platform/flash/flash_hosting.h"
#include "platform/shell/shell.h"
#include "script/scripter.h"

namespace {
struct ModuleTag {
} moduleTag;
} // namespace

void storeModuleInstance()
{
    appContext.instance = reinterpret_cast<HINSTANCE>(&moduleTag);
}

void runStartup()
{
    storeModuleInstance();
    openDemoArchive(shell().moduleFileName());
    askFullScreen();
    startWindowAndScript();
}

void startWindowAndScript()
{
    createMainWindow();
    if (appContext.fullScreen) shell().showCursor(false);
    startDeviceAndScript();
}

void startDeviceAndScript()
{
    // Flash loads need control hosting; capture starts here rather than in runStartup.
    startFlashHosting();
    createDisplayDevice();
    appContext.scripter = std::make_unique<Scripter>(appContext.device, kScreenWidth, kScreenHeight, &readClockMs);
    appContext.scripter->loadScript("demo.psc", 0.0f);
    startClock();
}

void runFrame()
{
    MSG message;
    if (shell().peekMessage(&message)) {
        shell().translateMessage(message);
        shell().dispatchMessage(message);
    }
    appContext.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 127);
    if (appContext.scripter && appContext.scripter->update()) appContext.quitRequested = true;
    appContext.device->Present(nullptr, nullptr, nullptr, nullptr);
}

void runFrameLoop()
{
    while (!appContext.quitRequested) runFrame();
}

int runShutdown()
{
    tearDownDisplay(true);
    setTheArchive(nullptr);
    if (appContext.archive) appContext.archive->close();
    appContext.archive.reset();
    endFlashHosting();
    return 0;
}

int runPlayer()
{
    runStartup();
    // SDL turns Ctrl-C and SIGTERM into a quit after the current frame; the rest would end
    // the player in the middle of a Flash load.
    removeExtractedMoviesOnSignals();
    runFrameLoop();
    return runShutdown();
}

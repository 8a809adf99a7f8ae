#include "app/fatal_error.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "platform/shell/shell.h"
#include "script/scripter.h"

#include <cstdlib>

void fatalError(const std::string& message)
{
    appContext.scripter.reset();
    safeRelease(appContext.device);
    safeRelease(appContext.direct3d);
    destroyMainWindow();
    shell().outputDebugString(message);
    shell().outputDebugString("\n");
    shell().showMessageBox("Demo", message, MB_OK);
    shell().exitProcess(5);
    std::_Exit(5); // exitProcess never returns
}

#include "app/fatal_error.h"

#include "app/display_teardown.h"
#include "platform/shell/shell.h"

#include <cstdlib>

void fatalError(const std::string& message)
{
    tearDownDisplay(false);
    shell().outputDebugString(message);
    shell().outputDebugString("\n");
    shell().showMessageBox("Demo", message, MB_OK);
    shell().exitProcess(5);
    std::_Exit(5); // exitProcess never returns
}

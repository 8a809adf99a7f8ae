#include "platform/shell/shell.h"

#include "platform/shell/sdl_shell.h"

#include <cstdlib>

namespace {

Shell* installed = nullptr;

Shell& realShell()
{
    // Never destroyed: the process may end through exitProcess at any point.
    static SdlShell* instance = new SdlShell();
    return *instance;
}

} // namespace

Shell& shell()
{
    return installed ? *installed : realShell();
}

void setShell(Shell* replacement)
{
    installed = replacement;
}

void failWithMessage(const std::string& caption, const std::string& text, int exitCode)
{
    shell().showMessageBox(caption, text, MB_OK);
    shell().exitProcess(exitCode);
    std::_Exit(exitCode); // exitProcess never returns; this keeps the promise if an override did
}

std::string withVisibleNul(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\0')
            out += "\\0";
        else
            out += c;
    }
    return out;
}

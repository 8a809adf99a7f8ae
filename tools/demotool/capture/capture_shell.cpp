#include "capture/capture_shell.h"

#include <cstdio>
#include <cstdlib>

int CaptureShell::showMessageBox(const std::string& caption, const std::string& text, UINT style)
{
    std::fprintf(stderr, "%s: %s\n", withVisibleNul(caption).c_str(), withVisibleNul(text).c_str());
    std::fflush(stderr);
    return IDOK;
}

bool CaptureShell::getClientRect(HWND, RECT* rect)
{
    *rect = {0, 0, 800, 600};
    return true;
}

int CaptureShell::getSystemMetrics(int index)
{
    return index == SM_CXSCREEN ? 800 : index == SM_CYSCREEN ? 600 : 0;
}

bool CaptureShell::queryPerformanceCounter(std::int64_t* value)
{
    *value = counter;
    return true;
}

bool CaptureShell::queryPerformanceFrequency(std::int64_t* value)
{
    *value = kFrequency;
    return true;
}

std::string CaptureShell::moduleFileName()
{
    // Capture takes its container from --archive only.
    return {};
}

void CaptureShell::outputDebugString(const std::string& text)
{
    std::fputs(text.c_str(), stderr);
}

void CaptureShell::exitProcess(int code)
{
    if (beforeExit) beforeExit();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

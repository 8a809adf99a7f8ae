// The shell capture runs the player on: no window and no questions, message boxes written to
// standard error as "caption: text", and a performance counter that only capture moves.
#pragma once

#include "platform/shell/shell.h"

class CaptureShell final : public Shell {
public:
    // Ticks per second of the virtual counter: nanoseconds.
    static constexpr std::int64_t kFrequency = 1000000000;
    std::int64_t counter = 0;
    // Runs before the process ends through exitProcess (a fatal message of the player), so
    // an unfinished output is not left behind.
    void (*beforeExit)() = nullptr;

    int showMessageBox(const std::string& caption, const std::string& text, UINT style) override;
    bool registerClass(const WindowClass&) override { return true; }
    bool unregisterClass(const std::string&, HINSTANCE) override { return true; }
    HWND createWindow(const std::string&, const std::string&, DWORD, int, int, int, int, HINSTANCE) override
    {
        return nullptr;
    }
    void showWindow(HWND) override {}
    void updateWindow(HWND) override {}
    void setFocus(HWND) override {}
    bool destroyWindow(HWND) override { return true; }
    bool getClientRect(HWND, RECT* rect) override;
    int getSystemMetrics(int index) override;
    bool peekMessage(MSG*) override { return false; }
    void translateMessage(const MSG&) override {}
    LRESULT dispatchMessage(const MSG&) override { return 0; }
    void postQuitMessage(int) override {}
    LRESULT defWindowProc(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    int showCursor(bool show) override { return show ? 0 : -1; }
    bool queryPerformanceCounter(std::int64_t* value) override;
    bool queryPerformanceFrequency(std::int64_t* value) override;
    std::string moduleFileName() override;
    void outputDebugString(const std::string& text) override;
    [[noreturn]] void exitProcess(int code) override;
};

// The real shell on SDL2: one window, SDL events turned into the player's window messages,
// SDL message boxes (standard error when none can be shown), the SDL performance counter.
#pragma once

#include "platform/shell/shell.h"

#include <deque>
#include <map>
#include <memory>

struct ShellWindow;

class SdlShell final : public Shell {
public:
    SdlShell();
    ~SdlShell() override;

    int showMessageBox(const std::string& caption, const std::string& text, UINT style) override;

    bool registerClass(const WindowClass& windowClass) override;
    bool unregisterClass(const std::string& className, HINSTANCE instance) override;
    HWND createWindow(const std::string& className, const std::string& title, DWORD style, int x, int y,
                      int width, int height, HINSTANCE instance) override;
    void showWindow(HWND window) override;
    void updateWindow(HWND window) override;
    void setFocus(HWND window) override;
    bool destroyWindow(HWND window) override;
    bool getClientRect(HWND window, RECT* rect) override;
    int getSystemMetrics(int index) override;

    bool peekMessage(MSG* message) override;
    void translateMessage(const MSG& message) override;
    LRESULT dispatchMessage(const MSG& message) override;
    void postQuitMessage(int exitCode) override;
    LRESULT defWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    int showCursor(bool show) override;

    bool queryPerformanceCounter(std::int64_t* counter) override;
    bool queryPerformanceFrequency(std::int64_t* frequency) override;

    std::string moduleFileName() override;
    void outputDebugString(const std::string& text) override;
    [[noreturn]] void exitProcess(int code) override;

private:
    bool ensureVideo();
    bool translateEvent(const void* sdlEvent, MSG* message);

    bool videoReady_ = false;
    std::map<std::string, WindowClass> classes_;
    std::unique_ptr<ShellWindow> window_;
    std::deque<MSG> posted_;
    int cursorCount_ = 0;
};

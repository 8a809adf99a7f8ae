// The shell stand-in: message boxes, the one window and its messages, cursor, performance
// counter, module path, debugger output and process exit, behind one replaceable interface.
// The real implementation is on SDL2 (sdl_shell.cpp); tests install a ScriptedShell.
#pragma once

#include "platform/shell/win_types.h"

#include <cstdint>
#include <string>

// Message box styles and results (Windows values).
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_TOPMOST = 0x00040000;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Window messages the player handles.
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT VK_ESCAPE = 0x1B;

// Window and class styles used by the player.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr UINT CS_OWNDC = 0x0020;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct WindowClass {
    UINT style = 0;
    WNDPROC windowProc = nullptr;
    HINSTANCE instance = nullptr;
    std::string className;
};

class Shell {
public:
    virtual ~Shell() = default;

    // A modal box without owner; returns the button pressed (IDYES, ...) or 0 when no box
    // could be shown, in which case caption and text have gone to standard error.
    virtual int showMessageBox(const std::string& caption, const std::string& text, UINT style) = 0;

    virtual bool registerClass(const WindowClass& windowClass) = 0;
    virtual bool unregisterClass(const std::string& className, HINSTANCE instance) = 0;
    // Creates the one top-level window; returns null on failure.
    virtual HWND createWindow(const std::string& className, const std::string& title, DWORD style,
                              int x, int y, int width, int height, HINSTANCE instance) = 0;
    virtual void showWindow(HWND window) = 0;
    virtual void updateWindow(HWND window) = 0;
    virtual void setFocus(HWND window) = 0;
    virtual bool destroyWindow(HWND window) = 0;
    virtual bool getClientRect(HWND window, RECT* rect) = 0;
    virtual int getSystemMetrics(int index) = 0;

    // Takes at most one message without waiting; false when the queue is empty.
    virtual bool peekMessage(MSG* message) = 0;
    virtual void translateMessage(const MSG& message) = 0;
    virtual LRESULT dispatchMessage(const MSG& message) = 0;
    virtual void postQuitMessage(int exitCode) = 0;
    virtual LRESULT defWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

    virtual int showCursor(bool show) = 0;

    virtual bool queryPerformanceCounter(std::int64_t* counter) = 0;
    virtual bool queryPerformanceFrequency(std::int64_t* frequency) = 0;

    // Full path of the running executable.
    virtual std::string moduleFileName() = 0;
    virtual void outputDebugString(const std::string& text) = 0;
    [[noreturn]] virtual void exitProcess(int code) = 0;
};

// The process-wide shell: the SDL2 one unless a test installed another.
Shell& shell();
// Installs a shell (not owned); null restores the real one.
void setShell(Shell* replacement);

// Content and script failures: an OK box without owner, then the process ends at once.
[[noreturn]] void failWithMessage(const std::string& caption, const std::string& text, int exitCode);

// The text with every NUL byte written as "\0": shown through a C string, a NUL would end the
// message there.
std::string withVisibleNul(const std::string& text);

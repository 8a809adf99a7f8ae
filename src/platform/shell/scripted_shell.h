// Test double of the shell: scripted message-box answers, recorded boxes and debugger output,
// a virtual performance counter, a fake window with a scripted message queue, and injectable
// failures. exitProcess throws ProcessExit so unit tests can catch an exit without forking.
#pragma once

#include "platform/shell/shell.h"

#include <deque>
#include <map>
#include <vector>

struct ProcessExit {
    int code;
};

struct RecordedBox {
    std::string caption;
    std::string text;
    UINT style;
};

class ScriptedShell final : public Shell {
public:
    // Answers given to the next message boxes, in order; when none is left a box answers
    // IDOK (or 0 when noDisplay is set, as when nothing can be shown).
    std::deque<int> boxAnswers;
    bool noDisplay = false;
    std::vector<RecordedBox> boxes;
    std::string debugOutput;

    // Injected failures.
    bool failRegisterClass = false;
    bool failCreateWindow = false;
    bool failDestroyWindow = false;
    bool failUnregisterClass = false;

    // Virtual counter: the tests move it; frequency in ticks per second.
    std::int64_t counter = 0;
    std::int64_t frequency = 1000000;

    int screenWidth = 1920;
    int screenHeight = 1080;
    std::string modulePath = "/opt/demo/demo";

    // Messages that peekMessage will hand out, one per call.
    std::deque<MSG> queue;

    // What the code under test did.
    int cursorCount = 0;
    HWND window = nullptr;
    DWORD windowStyle = 0;
    int windowWidth = 0;
    int windowHeight = 0;
    std::string windowTitle;
    std::map<std::string, WindowClass> classes;
    std::vector<UINT> dispatched;

    void advanceMs(double ms) { counter += static_cast<std::int64_t>(ms * static_cast<double>(frequency) / 1000.0); }

    int showMessageBox(const std::string& caption, const std::string& text, UINT style) override;
    bool registerClass(const WindowClass& windowClass) override;
    bool unregisterClass(const std::string& className, HINSTANCE instance) override;
    HWND createWindow(const std::string& className, const std::string& title, DWORD style, int x, int y,
                      int width, int height, HINSTANCE instance) override;
    void showWindow(HWND) override {}
    void updateWindow(HWND) override {}
    void setFocus(HWND) override {}
    bool destroyWindow(HWND window) override;
    bool getClientRect(HWND window, RECT* rect) override;
    int getSystemMetrics(int index) override;
    bool peekMessage(MSG* message) override;
    void translateMessage(const MSG&) override {}
    LRESULT dispatchMessage(const MSG& message) override;
    void postQuitMessage(int exitCode) override;
    LRESULT defWindowProc(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    int showCursor(bool show) override { return cursorCount += show ? 1 : -1; }
    bool queryPerformanceCounter(std::int64_t* value) override { *value = counter; return true; }
    bool queryPerformanceFrequency(std::int64_t* value) override { *value = frequency; return true; }
    std::string moduleFileName() override { return modulePath; }
    void outputDebugString(const std::string& text) override { debugOutput += text; }
    [[noreturn]] void exitProcess(int code) override { throw ProcessExit{code}; }

private:
    std::string windowClass_;
};

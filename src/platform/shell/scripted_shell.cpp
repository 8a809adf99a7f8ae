#include "platform/shell/scripted_shell.h"

namespace {
// A distinct non-null handle for the fake window.
struct FakeWindowTag {
} fakeWindowTag;
} // namespace

int ScriptedShell::showMessageBox(const std::string& caption, const std::string& text, UINT style)
{
    boxes.push_back({caption, text, style});
    if (noDisplay) return 0;
    if (boxAnswers.empty()) return IDOK;
    const int answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
}

bool ScriptedShell::registerClass(const WindowClass& windowClass)
{
    if (failRegisterClass) return false;
    classes[windowClass.className] = windowClass;
    return true;
}

bool ScriptedShell::unregisterClass(const std::string& className, HINSTANCE)
{
    if (failUnregisterClass) return false;
    return classes.erase(className) > 0;
}

HWND ScriptedShell::createWindow(const std::string& className, const std::string& title, DWORD style, int, int,
                                 int width, int height, HINSTANCE)
{
    if (failCreateWindow || !classes.count(className)) return nullptr;
    window = reinterpret_cast<HWND>(&fakeWindowTag);
    windowClass_ = className;
    windowStyle = style;
    windowWidth = width;
    windowHeight = height;
    windowTitle = title;
    return window;
}

bool ScriptedShell::destroyWindow(HWND target)
{
    if (failDestroyWindow || !target || target != window) return false;
    dispatchMessage({target, WM_DESTROY, 0, 0});
    window = nullptr;
    return true;
}

bool ScriptedShell::getClientRect(HWND target, RECT* rect)
{
    if (!target || target != window) return false;
    *rect = {0, 0, windowWidth, windowHeight};
    return true;
}

int ScriptedShell::getSystemMetrics(int index)
{
    return index == SM_CXSCREEN ? screenWidth : index == SM_CYSCREEN ? screenHeight : 0;
}

bool ScriptedShell::peekMessage(MSG* message)
{
    if (queue.empty()) return false;
    *message = queue.front();
    queue.pop_front();
    return true;
}

LRESULT ScriptedShell::dispatchMessage(const MSG& message)
{
    dispatched.push_back(message.message);
    auto found = classes.find(windowClass_);
    if (!message.hwnd || found == classes.end()) return 0;
    return found->second.windowProc(message.hwnd, message.message, message.wParam, message.lParam);
}

void ScriptedShell::postQuitMessage(int exitCode)
{
    queue.push_back({nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

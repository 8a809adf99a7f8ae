#include "platform/shell/sdl_shell.h"

#include "platform/shell/sdl_window.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

struct ShellWindow {
    SDL_Window* window = nullptr;
    std::string className;
};

SDL_Window* sdlWindowOf(HWND window)
{
    return window ? window->window : nullptr;
}

namespace {

// Windows' virtual-key codes for the keys SDL reports; keys the player ignores map to their
// upper-case character or 0, which is all the window procedure needs.
WPARAM virtualKeyOf(SDL_Keycode key)
{
    if (key == SDLK_ESCAPE) return VK_ESCAPE;
    if (key == SDLK_RETURN) return 0x0D;
    if (key == SDLK_SPACE) return 0x20;
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<WPARAM>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<WPARAM>(key);
    return 0;
}

// SDL names the X11 class after the executable when video starts; the player's window carries
// its window-class name instead, as window managers and tests look it up by that.
void setX11WindowClass(SDL_Window* window, const std::string& className)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    XClassHint* hint = XAllocClassHint();
    if (!hint) return;
    std::string name = className;
    hint->res_name = name.data();
    hint->res_class = name.data();
    XSetClassHint(info.info.x11.display, info.info.x11.window, hint);
    XFree(hint);
}

} // namespace

SdlShell::SdlShell() = default;

SdlShell::~SdlShell()
{
    if (videoReady_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlShell::ensureVideo()
{
    if (!videoReady_) videoReady_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    return videoReady_;
}

int SdlShell::showMessageBox(const std::string& caption, const std::string& text, UINT style)
{
    SDL_MessageBoxButtonData buttons[3] = {};
    int count = 0;
    int closeAnswer = IDOK;
    if ((style & 0xF) == MB_YESNOCANCEL) {
        // SDL lays buttons out in array order; Windows shows Yes, No, Cancel left to right.
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"};
        buttons[1] = {0, IDNO, "No"};
        buttons[2] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"};
        count = 3;
        closeAnswer = IDCANCEL;
    } else {
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"};
        count = 1;
    }
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    if ((style & 0xF0) == MB_ICONERROR) flags = SDL_MESSAGEBOX_ERROR;

    // With the video subsystem up SDL draws its own box on X11; without it SDL only tries an
    // external dialog helper, which may be missing.
    ensureVideo();
    // Also on standard error, first: a player started from a terminal then leaves a trace of
    // why it ended, whether or not the box can be shown. A NUL byte would cut either short.
    const std::string shownCaption = withVisibleNul(caption), shownText = withVisibleNul(text);
    std::fprintf(stderr, "%s: %s\n", shownCaption.c_str(), shownText.c_str());
    std::fflush(stderr);
    const SDL_MessageBoxData data = {flags, nullptr, shownCaption.c_str(), shownText.c_str(), count, buttons, nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return 0;
    // Closing the box from the window manager answers like its escape button.
    return pressed < 0 ? closeAnswer : pressed;
}

bool SdlShell::registerClass(const WindowClass& windowClass)
{
    if (windowClass.className.empty() || !windowClass.windowProc) return false;
    return classes_.emplace(windowClass.className, windowClass).second;
}

bool SdlShell::unregisterClass(const std::string& className, HINSTANCE)
{
    auto found = classes_.find(className);
    if (found == classes_.end()) return false;
    if (window_ && window_->className == className) return false;
    classes_.erase(found);
    return true;
}

HWND SdlShell::createWindow(const std::string& className, const std::string& title, DWORD style, int x, int y,
                            int width, int height, HINSTANCE)
{
    if (window_ || !classes_.count(className) || !ensureVideo()) return nullptr;
    SDL_SetHint("SDL_VIDEO_WAYLAND_WMCLASS", className.c_str());

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (style & WS_POPUP) flags |= SDL_WINDOW_BORDERLESS;
    SDL_Window* sdlWindow = SDL_CreateWindow(title.c_str(), x, y, width, height, flags);
    if (!sdlWindow) return nullptr;

    setX11WindowClass(sdlWindow, className);
    if (!(style & WS_POPUP)) {
        // The size given is the outer window's: the client area is what the frame leaves.
        int top = 0, left = 0, bottom = 0, right = 0;
        if (SDL_GetWindowBordersSize(sdlWindow, &top, &left, &bottom, &right) == 0 && (top || left || bottom || right))
            SDL_SetWindowSize(sdlWindow, width - left - right, height - top - bottom);
    }
    window_ = std::make_unique<ShellWindow>();
    window_->window = sdlWindow;
    window_->className = className;
    return window_.get();
}

void SdlShell::showWindow(HWND window)
{
    if (window && window == window_.get()) SDL_ShowWindow(window->window);
}

void SdlShell::updateWindow(HWND window)
{
    // Nothing is drawn outside the frame loop; the first Present paints the window.
}

void SdlShell::setFocus(HWND window)
{
    if (window && window == window_.get()) SDL_RaiseWindow(window->window);
}

bool SdlShell::destroyWindow(HWND window)
{
    if (!window || window != window_.get()) return false;
    MSG destroy{window, WM_DESTROY, 0, 0};
    dispatchMessage(destroy);
    SDL_DestroyWindow(window_->window);
    window_.reset();
    return true;
}

bool SdlShell::getClientRect(HWND window, RECT* rect)
{
    if (!window || window != window_.get() || !rect) return false;
    int w = 0, h = 0;
    SDL_GetWindowSize(window->window, &w, &h);
    *rect = {0, 0, w, h};
    return true;
}

int SdlShell::getSystemMetrics(int index)
{
    if (!ensureVideo()) return 0;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
    if (index == SM_CXSCREEN) return mode.w;
    if (index == SM_CYSCREEN) return mode.h;
    return 0;
}

bool SdlShell::translateEvent(const void* raw, MSG* message)
{
    const SDL_Event& event = *static_cast<const SDL_Event*>(raw);
    HWND window = window_.get();
    switch (event.type) {
    case SDL_QUIT:
        *message = {window, WM_CLOSE, 0, 0};
        return true;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) *message = {window, WM_CLOSE, 0, 0};
        else if (event.window.event == SDL_WINDOWEVENT_EXPOSED) *message = {window, WM_PAINT, 0, 0};
        else *message = {window, 0, 0, 0};
        return true;
    case SDL_KEYDOWN:
        *message = {window, WM_KEYDOWN, virtualKeyOf(event.key.keysym.sym), 0};
        return true;
    default:
        *message = {window, 0, 0, 0};
        return true;
    }
}

bool SdlShell::peekMessage(MSG* message)
{
    if (!posted_.empty()) {
        *message = posted_.front();
        posted_.pop_front();
        return true;
    }
    if (!videoReady_) return false;
    SDL_Event event;
    if (!SDL_PollEvent(&event)) return false;
    return translateEvent(&event, message);
}

void SdlShell::translateMessage(const MSG&)
{
    // Character messages are never used by the player.
}

LRESULT SdlShell::dispatchMessage(const MSG& message)
{
    if (!message.hwnd || message.hwnd != window_.get() || message.message == WM_QUIT) return 0;
    auto found = classes_.find(window_->className);
    if (found == classes_.end()) return 0;
    return found->second.windowProc(message.hwnd, message.message, message.wParam, message.lParam);
}

void SdlShell::postQuitMessage(int exitCode)
{
    posted_.push_back({nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

LRESULT SdlShell::defWindowProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

int SdlShell::showCursor(bool show)
{
    cursorCount_ += show ? 1 : -1;
    if (ensureVideo()) SDL_ShowCursor(cursorCount_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return cursorCount_;
}

bool SdlShell::queryPerformanceCounter(std::int64_t* counter)
{
    *counter = static_cast<std::int64_t>(SDL_GetPerformanceCounter());
    return true;
}

bool SdlShell::queryPerformanceFrequency(std::int64_t* frequency)
{
    *frequency = static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
    return *frequency > 0;
}

std::string SdlShell::moduleFileName()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    return std::string(path, static_cast<std::size_t>(length));
}

void SdlShell::outputDebugString(const std::string& text)
{
    // A debugger shows each message on a line of its own; on a terminal that takes a newline.
    std::fputs(text.c_str(), stderr);
    if (text.empty() || text.back() != '\n') std::fputc('\n', stderr);
    std::fflush(stderr);
}

void SdlShell::exitProcess(int code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

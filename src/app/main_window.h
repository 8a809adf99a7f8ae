// The start-up question, the one top-level window, its window procedure and its teardown.
#pragma once

#include "platform/shell/shell.h"

inline constexpr const char* kWindowClassName = "Vorna window class";
inline constexpr const char* kWindowTitle = "Demo";

// Asks "full screen?"; sets appContext.fullScreen or ends the process (Cancel: 5, no box: 10).
void askFullScreen();
// Registers the class and creates, shows and focuses the window; fatalError on failure.
void createMainWindow();
// Destroys the window (draining its messages) and unregisters the class; failures are reported only.
void destroyMainWindow();

LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

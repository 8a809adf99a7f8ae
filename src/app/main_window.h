// The start-up question, the one top-level window and its window procedure (its teardown is in
// display_teardown.h, shared with the failure routine).
#pragma once

#include "app/main_window_names.h"
#include "platform/shell/shell.h"

// Asks "full screen?"; sets appContext.fullScreen or ends the process (Cancel: 5, no box: 10).
void askFullScreen();
// Registers the class and creates, shows and focuses the window; fatalError on failure.
void createMainWindow();

LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

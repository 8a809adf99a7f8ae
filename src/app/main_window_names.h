// The window's class name and title, shared by its creation and its teardown.
#pragma once

inline constexpr const char* kWindowClassName = "Vorna window class";
inline constexpr const char* kWindowTitle = "Demo";

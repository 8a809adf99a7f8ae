// Factories for the Direct3D objects this platform offers.
#pragma once

#include "platform/d3d9/d3d9.h"

// The OpenGL Direct3D object: CreateDevice draws into an offscreen back buffer and Present
// shows it in the shell's window. Null when OpenGL 4.5 cannot be had.
IDirect3D9* Direct3DCreate9(UINT sdkVersion);

// The same device without a window, on EGL surfaceless (Mesa llvmpipe when there is no GPU):
// CreateDevice ignores the window, needs an explicit back-buffer size, and Present only
// finishes the frame. Used by tests and by capture. Null when EGL has no usable display.
IDirect3D9* createHeadlessDirect3D9();

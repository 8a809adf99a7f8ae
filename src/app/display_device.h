// Creates the Direct3D object and the one device with the player's present parameters.
#pragma once

#include "platform/d3d9/d3d9.h"

// Present parameters for the display mode; the back buffer is 800 × 600 X8R8G8B8 in full
// screen and the window's client area (size 0 × 0) in the display's format otherwise.
D3DPRESENT_PARAMETERS playerPresentParameters(bool fullScreen, HWND window, D3DFORMAT displayFormat);

// Vertex processing chosen from the caps: hardware with vertex shaders 1.0 or hardware T&L.
DWORD playerBehaviorFlags(const D3DCAPS9& caps);

// Fills appContext.direct3d and appContext.device, or fatalError.
void createDisplayDevice();

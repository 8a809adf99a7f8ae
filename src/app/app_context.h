// The one process-wide record of the player: what start-up builds, the frame loop uses and
// shutdown tears down, in that order.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/shell/win_types.h"

#include <cstdint>
#include <memory>

class ResourceArchive;
class Scripter;

struct AppContext {
    HINSTANCE instance = nullptr;
    std::unique_ptr<ResourceArchive> archive;
    bool fullScreen = false;
    HWND window = nullptr;
    bool quitRequested = false;
    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    std::unique_ptr<Scripter> scripter;
    std::int64_t counterFrequency = 0;
    std::uint32_t startMs = 0;

    AppContext();
    ~AppContext();
};

extern AppContext appContext;

// How the Direct3D object is made: the windowed OpenGL one by default; capture and tests put
// the headless one (or a recording one) here before start-up.
using Direct3DFactory = IDirect3D9* (*)(UINT sdkVersion);
extern Direct3DFactory direct3DFactory;

// The logical screen the script draws on, in both display modes.
constexpr unsigned kScreenWidth = 800;
constexpr unsigned kScreenHeight = 600;

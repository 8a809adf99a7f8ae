// Direct3D 9's state at device creation and the capabilities the recording objects report
// unless a test configures others. Kept apart so tests can compare against the same table.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3d9_defaults.h"

// Render-state value right after CreateDevice; ZENABLE depends on the automatic depth buffer.
DWORD defaultRenderState(DWORD state, bool autoDepthStencil);
DWORD defaultTextureStageState(DWORD stage, DWORD type);
DWORD defaultSamplerState(DWORD type);
// Eight stages, hardware T&L, vertex shader 2.0, non-power-of-two textures.
D3DCAPS9 recordingDefaultCaps();

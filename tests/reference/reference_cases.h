// The reference cases: small frames, each guarding one piece of Direct3D 9 behaviour, drawn
// through the device API only. Recorded as traces they become the committed reference
// images (rendered by a real Direct3D 9); drawn directly they exercise the OpenGL device.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <vector>

struct ReferenceCase {
    const char* name;          // file stem: NNNN_what_it_guards
    const char* description;   // one line, written at the top of the trace
    UINT width;
    UINT height;
    D3DFORMAT backBufferFormat;
    int tolerance;             // per channel, when comparing with the reference image
    void (*draw)(IDirect3DDevice9* device);
};

const std::vector<ReferenceCase>& referenceCases();

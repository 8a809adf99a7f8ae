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
    // Pixels allowed to differ because an edge lies within a hair of a pixel centre: the
    // reference renderer moves geometry by 63/64 of half a pixel instead of exactly half.
    // Zero for the cases that check placement itself.
    unsigned edgePixels;
    void (*draw)(IDirect3DDevice9* device);
};

const std::vector<ReferenceCase>& referenceCases();

// Test names print the case name, not the bytes of the struct.
#include <ostream>
inline void PrintTo(const ReferenceCase& c, std::ostream* out) { *out << c.name; }

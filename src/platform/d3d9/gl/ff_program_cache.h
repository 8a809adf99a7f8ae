// Compiled fixed-function programs, one per pipeline key, built on first use and kept for the
// life of the device.
#pragma once

#include "platform/d3d9/gl/ff_key.h"

#include <epoxy/gl.h>

#include <unordered_map>

namespace d3dgl {

class FfProgramCache {
public:
    ~FfProgramCache();
    // The program for a key; 0 when it failed to build (the reason is logged once).
    GLuint program(const FfKey& key);
    std::size_t size() const { return programs_.size(); }

private:
    std::unordered_map<FfKey, GLuint, FfKeyHash> programs_;
};

} // namespace d3dgl

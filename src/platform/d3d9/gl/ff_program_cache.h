// Compiled fixed-function programs, one per pipeline key, built on first use and kept for the
// life of the device. Each remembers which version of every uniform array it last received,
// so values go up only when they changed or the program has not seen them yet.
#pragma once

#include "platform/d3d9/gl/ff_glsl.h"
#include "platform/d3d9/core/ff_key.h"

#include <epoxy/gl.h>

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace d3dgl {

// The device core's types read as this backend's own.
using namespace d3dcore;

struct FfProgram {
    GLuint name = 0;                                   // 0: failed to build
    std::array<GLint, kUniformArrays> locations{-1, -1, -1};
    std::array<std::uint64_t, kUniformArrays> versions{};
    // The version of the draw array's values past its matrices this program holds.
    std::uint64_t drawTailVersion = 0;
};

class FfProgramCache {
public:
    ~FfProgramCache();
    // The program for a key (its name is 0 when it failed to build; the reason is logged once).
    FfProgram& program(const FfKey& key);
    std::size_t size() const { return programs_.size(); }

private:
    std::unordered_map<FfKey, std::unique_ptr<FfProgram>, FfKeyHash> programs_;
};

} // namespace d3dgl

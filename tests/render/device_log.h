// Reads a recording device's call log back, line by line, into the state in force at each
// clear and draw: render, stage and sampler states, bound textures, texture and world
// transforms, render target. Glow targets and the frame's own surfaces get readable names
// ("T0".."T7", "glow-depth", "frame", "frame-depth"); other objects keep their "@N".
#pragma once

#include "platform/d3d9/d3d9.h"

#include <array>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

struct LoggedState {
    std::map<DWORD, DWORD> renderStates;
    std::array<std::map<DWORD, DWORD>, 8> stageStates;
    std::array<std::map<DWORD, DWORD>, 8> samplerStates;
    std::array<std::string, 8> textures;
    std::array<std::array<float, 16>, 8> textureTransforms{};
    std::array<float, 16> world{};
    std::string target = "frame";
    std::string depth = "frame-depth";

    // A state never set reads as `otherwise`.
    DWORD rs(DWORD state, DWORD otherwise = 0xDEADBEEFu) const;
    DWORD tss(DWORD stage, DWORD type, DWORD otherwise = 0xDEADBEEFu) const;
    DWORD samp(DWORD stage, DWORD type, DWORD otherwise = 0xDEADBEEFu) const;
};

struct LoggedEvent {
    // The call's line, handles replaced by names.
    std::string call;
    std::vector<std::string> fields;
    LoggedState state;
    // SetTextureStageState and SetSamplerState lines since the previous event.
    unsigned stageCallsBefore = 0;
};

// Events (Clear and every draw call) from line `from` on; earlier lines still name objects
// and set state.
std::vector<LoggedEvent> walkLog(const std::vector<std::string>& calls, std::size_t from = 0);
// Lines from `from` on whose call name is `name`.
std::vector<std::vector<std::string>> callsNamed(const std::vector<std::string>& calls, const std::string& name,
                                                 std::size_t from = 0);
// Index of the first line at or after `from` that starts with `prefix`; calls.size() when none.
std::size_t findCall(const std::vector<std::string>& calls, const std::string& prefix, std::size_t from = 0);

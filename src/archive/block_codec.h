// Running a block through the filter chain its id names: decodeBlock undoes the stages
// (outer, compression, delta), encodeBlock applies them in the opposite order. Either gives
// nothing when a stage names no registered filter or fails. Decoding also fails when a stage
// would produce more than `limit` bytes; no stage allocates past it.
#pragma once

#include "archive/cfl_resource_filter.h"

#include <cstdint>
#include <optional>
#include <span>

std::optional<FilterBytes> decodeBlock(std::span<const std::uint8_t> stored, std::uint32_t filterId,
                                       std::size_t limit = maxDecodedBlockLength);
std::optional<FilterBytes> encodeBlock(std::span<const std::uint8_t> plain, std::uint32_t filterId);

// The filters an id resolves to, stage by stage; a stage the id leaves empty is null
// (the compression stage is never empty for a valid id). False when a stage is unregistered.
struct FilterChain {
    const CFLResourceFilter* outer = nullptr;
    const CFLResourceFilter* compression = nullptr;
    const CFLResourceFilter* delta = nullptr;
};
std::optional<FilterChain> resolveFilterChain(std::uint32_t filterId);

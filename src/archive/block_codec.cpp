// Decoding holds at most the caller's block and two stage outputs: each stage's output
// replaces the previous one as soon as it exists.
#include "archive/block_codec.h"

#include "archive/filter_id.h"

std::optional<FilterChain> resolveFilterChain(std::uint32_t filterId)
{
    FilterChain chain;
    if (filterId & filter_id::outerMask) {
        chain.outer = CFLResourceFilter::find(filterId & filter_id::outerMask);
        if (!chain.outer)
            return std::nullopt;
    }
    chain.compression = CFLResourceFilter::find(filterId & filter_id::compressionMask);
    if (!chain.compression)
        chain.compression = CFLResourceFilter::find(filterId & filter_id::compressionFallbackMask);
    if (!chain.compression)
        return std::nullopt;
    if (filterId & filter_id::deltaMask) {
        chain.delta = CFLResourceFilter::find(filterId & filter_id::deltaMask);
        if (!chain.delta)
            return std::nullopt;
    }
    return chain;
}

namespace {

// Runs the stages in order; the first reads the caller's bytes, each later one the previous
// stage's output.
template <typename Step>
std::optional<FilterBytes> runStages(std::span<const std::uint8_t> input,
                                     const CFLResourceFilter* const (&stages)[3], Step step)
{
    std::optional<FilterBytes> current;
    for (const CFLResourceFilter* stage : stages) {
        if (!stage)
            continue;
        std::span<const std::uint8_t> stageInput = current ? std::span<const std::uint8_t>(*current) : input;
        std::optional<FilterBytes> next = step(*stage, stageInput);
        if (!next)
            return std::nullopt;
        current = std::move(next);
    }
    return current;
}

} // namespace

std::optional<FilterBytes> decodeBlock(std::span<const std::uint8_t> stored, std::uint32_t filterId,
                                       std::size_t limit)
{
    const std::optional<FilterChain> chain = resolveFilterChain(filterId);
    if (!chain)
        return std::nullopt;
    const CFLResourceFilter* const stages[3] = {chain->outer, chain->compression, chain->delta};
    return runStages(stored, stages, [limit](const CFLResourceFilter& filter, std::span<const std::uint8_t> bytes) {
        return filter.unpackAtMost(bytes, limit);
    });
}

std::optional<FilterBytes> encodeBlock(std::span<const std::uint8_t> plain, std::uint32_t filterId)
{
    const std::optional<FilterChain> chain = resolveFilterChain(filterId);
    if (!chain)
        return std::nullopt;
    const CFLResourceFilter* const stages[3] = {chain->delta, chain->compression, chain->outer};
    return runStages(plain, stages, [](const CFLResourceFilter& filter, std::span<const std::uint8_t> bytes) {
        return filter.pack(bytes);
    });
}

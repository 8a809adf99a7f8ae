// The base of the entry filters: a pair of inverse byte transformations (pack for writers,
// unpack for the player) named by a 32-bit id. Every concrete filter is one object with static
// storage that links itself into the process-wide list when it is constructed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

using FilterBytes = std::vector<std::uint8_t>;

// The most one block (an entry or a directory) may decode to: far beyond any picture, scene
// or piece of music a demo carries, and low enough that a hostile container cannot exhaust
// memory through one entry.
inline constexpr std::size_t maxDecodedBlockLength = std::size_t{256} << 20;

class CFLResourceFilter {
public:
    CFLResourceFilter(std::uint32_t id, std::string name, std::string description);
    virtual ~CFLResourceFilter();
    CFLResourceFilter(const CFLResourceFilter&) = delete;
    CFLResourceFilter& operator=(const CFLResourceFilter&) = delete;

    // Both return a new buffer, or nothing when the transformation fails; the input is never
    // changed.
    virtual std::optional<FilterBytes> pack(std::span<const std::uint8_t> input) const = 0;
    virtual std::optional<FilterBytes> unpack(std::span<const std::uint8_t> input) const = 0;
    // As unpack, but nothing when the output would exceed `limit` bytes. A filter that grows
    // data overrides it to stop before allocating past the limit.
    virtual std::optional<FilterBytes> unpackAtMost(std::span<const std::uint8_t> input, std::size_t limit) const;

    std::uint32_t id() const { return id_; }
    const std::string& name() const { return name_; }
    const std::string& description() const { return description_; }
    const CFLResourceFilter* next() const { return next_; }

    // The most recently registered filter; follow next() for the rest.
    static const CFLResourceFilter* first();
    // The first registered filter whose id equals the key exactly, or null.
    static const CFLResourceFilter* find(std::uint32_t id);

private:
    CFLResourceFilter* next_ = nullptr;
    std::string description_;
    std::string name_;
    std::uint32_t id_;
};

// Reads a PSK scene file chunk by chunk, in file order, so a loader can build each object as
// its chunk comes, exactly as the format is meant to be consumed. Nothing is trusted: a header
// or payload that runs past the data, a field past its payload, or a count whose items cannot
// fit stops the reader with the file offset of the first bad field. A chunk type outside
// 1–13 stops it too, reported apart, since the player has its own message for it. The reader
// shows no messages; the caller decides how to report damage.
#pragma once

#include "psk/psk_records.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

enum class PskDamageKind {
    Damaged,      // truncated or inconsistent data
    UnknownChunk, // a chunk type outside 1–13
};

struct PskDamage {
    PskDamageKind kind = PskDamageKind::Damaged;
    std::uint64_t offset = 0; // of the first bad field in the file
    std::string reason;       // one line, for tools
};

class PskChunkReader {
public:
    // The data must outlive the reader; records never point into it.
    explicit PskChunkReader(std::span<const std::uint8_t> data) : data_(data) {}

    enum class Step { Chunk, End, Damaged };
    // Reads the next chunk into `chunk`. After End or Damaged, every later call answers the same.
    Step next(PskChunk& chunk);

    // Set once next has answered Damaged.
    const std::optional<PskDamage>& damage() const { return damage_; }
    std::uint64_t position() const { return position_; }

private:
    Step stop(PskDamageKind kind, std::uint64_t offset, std::string reason);

    std::span<const std::uint8_t> data_;
    std::uint64_t position_ = 0;
    std::optional<PskDamage> damage_;
};

// The whole file at once, for tools: every chunk before the first damage, and the damage.
struct PskFile {
    std::vector<PskChunk> chunks;
    std::optional<PskDamage> damage;
};

PskFile readPskFile(std::span<const std::uint8_t> data);

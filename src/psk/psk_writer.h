// Builds PSK scene files from the same records the reader produces, so tests, tools and the
// sample demo make their scene files in code. Fields are written as given (no clamping or
// near-plane fix: those are the reader's), optional fields as the chunk version says. The raw
// calls write arbitrary payloads and headers, for damaged files in tests and fuzz seeds.
// Values the format cannot hold (a string over 65535 bytes, more than 65535 sub-meshes, a
// vertex buffer without its frames) raise std::length_error or std::invalid_argument.
#pragma once

#include "psk/psk_records.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Little-endian fields one after the other, as a payload holds them.
class PskPayloadBuilder {
public:
    PskPayloadBuilder& u8(std::uint8_t value);
    PskPayloadBuilder& u16(std::uint16_t value);
    PskPayloadBuilder& u32(std::uint32_t value);
    PskPayloadBuilder& i32(std::int32_t value) { return u32(static_cast<std::uint32_t>(value)); }
    PskPayloadBuilder& f32(float value);
    PskPayloadBuilder& f32s(std::span<const float> values);
    PskPayloadBuilder& string(std::string_view text); // u16 length, then the bytes
    PskPayloadBuilder& colour(const PskColour& colour) { return u32(colour.argb); }
    PskPayloadBuilder& raw(std::span<const std::uint8_t> bytes);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// The chunk type a payload record belongs to (1–13).
std::uint16_t pskChunkTypeOf(const PskPayload& payload);

std::vector<std::uint8_t> encodePskPayload(std::uint16_t version, const PskPayload& payload);

class PskWriter {
public:
    // One chunk with its type taken from the record and its length from the encoded payload.
    PskWriter& chunk(std::uint16_t version, std::uint32_t objectIndex, const PskPayload& payload);
    PskWriter& rawChunk(std::uint16_t type, std::uint16_t version, std::uint32_t objectIndex,
                        std::span<const std::uint8_t> payload);
    // A header alone, declaring whatever length the caller wants.
    PskWriter& header(std::uint16_t type, std::uint16_t version, std::uint32_t objectIndex,
                      std::uint32_t payloadLength);
    PskWriter& raw(std::span<const std::uint8_t> bytes);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

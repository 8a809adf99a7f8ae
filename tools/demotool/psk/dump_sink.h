// Where `demotool psk dump` sends what it decodes: chunk headers and, per chunk, named field
// groups (one text line each) and numbered list items (vertices, samples, ...). The text and
// JSON forms are two sinks over the same description, so they always list the same fields.
#pragma once

#include "psk/psk_chunk_reader.h"

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct DumpHex {
    std::uint32_t value;
};

using DumpValue = std::variant<std::int64_t, std::uint64_t, float, DumpHex, std::string, std::vector<float>,
                               std::vector<std::uint64_t>>;

// A value with an empty key is the group's only value.
struct DumpItem {
    std::string key;
    DumpValue value;
};

class DumpSink {
public:
    virtual ~DumpSink() = default;
    virtual void beginChunk(const PskChunkHeader& header) = 0;
    virtual void group(std::string_view name, const std::vector<DumpItem>& items) = 0;
    // Items of one list come one after the other, numbered from 0.
    virtual void listItem(std::string_view list, std::string_view item, std::size_t index,
                          const std::vector<DumpItem>& items) = 0;
    virtual void endChunk() = 0;
    // Called once at the end; damage is absent for a sound file.
    virtual void finish(const std::optional<PskDamage>& damage) = 0;
};

std::unique_ptr<DumpSink> makeTextDumpSink(std::ostream& out);
std::unique_ptr<DumpSink> makeJsonDumpSink(std::ostream& out);

// Shortest text that reads back to the same float; "nan", "inf", "-inf" otherwise.
std::string formatDumpFloat(float value);

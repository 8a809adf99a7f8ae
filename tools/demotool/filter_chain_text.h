// The filter SPEC grammar of demotool: "none", "zlib", "delta8", "delta16", "delta32", a delta
// followed by "+zlib" (e.g. "delta16+zlib"), or a raw id ("0x00020001" or decimal), case
// insensitive; and the words that describe an id when listing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The filter id a SPEC names; nothing when it does not parse or names unregistered filters.
std::optional<std::uint32_t> parseFilterChain(const std::string& text);

// The filter chain of an id in SPEC words ("delta16+zlib", "none"); "unknown" when a stage
// names no registered filter.
std::string filterIdWords(std::uint32_t id);

// "0x00020001"
std::string filterIdHex(std::uint32_t id);

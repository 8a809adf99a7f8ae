// `demotool psk dump`: every chunk of a PSK scene file with its decoded fields, as text or
// JSON, ending with the first damage if there is one. Apart from the command so tests can
// run it on bytes in memory.
#pragma once

#include <cstdint>
#include <ostream>
#include <optional>
#include <span>

#include "psk/psk_chunk_reader.h"

// Writes the dump of `data` to `out`; returns the damage, if any, after writing it.
std::optional<PskDamage> dumpPskFile(std::span<const std::uint8_t> data, bool json, std::ostream& out);

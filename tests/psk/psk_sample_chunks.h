// A small scene of every chunk type, built from records: the tests' common material and the
// fuzz target's seeds (make_psk_fuzz_seeds writes them).
#pragma once

#include "psk/psk_records.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct PskSampleChunk {
    std::string label;
    std::uint16_t version;
    std::uint32_t objectIndex;
    PskPayload payload; // as the reader gives it back (already clamped and fixed)
};

PskNodeRecord samplePskNode(const std::string& name, std::int32_t parent);

// Every chunk type at least once, every version rule both ways, in a loadable order.
std::vector<PskSampleChunk> samplePskChunks();

std::vector<std::uint8_t> writePskChunks(const std::vector<PskSampleChunk>& chunks);

// The fuzz target's seed files by name: the sample scene, each of its chunks alone and a few
// damaged files.
std::map<std::string, std::vector<std::uint8_t>> pskFuzzSeeds();

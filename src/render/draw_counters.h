// Process-wide tallies of indexed draws and their primitives, for profiling; nothing in the
// frame reads them.
#pragma once

#include <cstdint>

struct DrawCounters {
    std::uint64_t draws = 0;
    std::uint64_t primitives = 0;
};

DrawCounters& drawCounters();

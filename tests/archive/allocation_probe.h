// The largest single allocation through operator new since the probe was made, for tests that
// a length taken from a file never drives a huge allocation. The test binary that links
// allocation_probe.cpp replaces the global operator new to watch every request.
#pragma once

#include <cstddef>

class AllocationProbe {
public:
    AllocationProbe();
    std::size_t largest() const;
};

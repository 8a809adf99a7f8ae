// Everything a caller can read back from a device through IDirect3DDevice9, gathered in one
// comparable record, so two devices can be checked for the same state after the same calls.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <string>
#include <vector>

struct DeviceSnapshot {
    std::vector<HRESULT> results;   // of every read, in order
    std::vector<DWORD> values;      // what the reads returned, as DWORDs
};

DeviceSnapshot snapshotOf(IDirect3DDevice9* device);
// The first difference, as "what: a vs b"; empty when equal.
std::string firstDifference(const DeviceSnapshot& a, const DeviceSnapshot& b);

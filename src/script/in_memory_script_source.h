// Script files held in memory, for tools and tests that parse scripts without the disk or
// an archive. A read budget bounds the work of include chains that fan out exponentially.
#pragma once

#include "script/script_source.h"

#include <cstddef>
#include <limits>
#include <map>
#include <string>

class InMemoryScriptSource : public ScriptSource {
public:
    std::map<std::string, std::string> files;
    // Reads beyond this many report the file as missing.
    std::size_t readBudget = std::numeric_limits<std::size_t>::max();
    std::size_t reads = 0;

    std::optional<std::string> read(const std::string& fileName) override {
        const auto found = files.find(fileName);
        if (found == files.end() || reads >= readBudget) return std::nullopt;
        ++reads;
        return found->second;
    }
};

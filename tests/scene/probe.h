// An animatable object for controller tests: named floats, every refresh recorded. Unknown
// names give no field without ending the program, as some scene classes do.
#pragma once

#include "scene/preparable.h"

#include <map>
#include <string>
#include <vector>

class Probe final : public Preparable {
public:
    std::map<std::string, float> fields{{"X", 0.0f}, {"Intensity", 0.0f}};
    std::vector<bool> refreshes;

    void refresh(bool transformChanged) override { refreshes.push_back(transformChanged); }
    float* controlField(const std::string& name) override
    {
        const auto found = fields.find(name);
        return found == fields.end() ? nullptr : &found->second;
    }
};

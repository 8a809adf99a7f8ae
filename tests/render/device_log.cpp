#include "render/device_log.h"

#include <cstdlib>
#include <sstream>

namespace {

std::vector<std::string> split(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> fields;
    for (std::string field; in >> field;) fields.push_back(field);
    return fields;
}

DWORD number(const std::string& field) { return static_cast<DWORD>(std::strtoul(field.c_str(), nullptr, 0)); }

class Walker {
public:
    void line(const std::vector<std::string>& f, bool emit)
    {
        if (f.empty()) return;
        const std::string& c = f[0];
        if (c == "CreateTexture" && f.size() >= 8 && number(f[4]) == D3DUSAGE_RENDERTARGET) {
            static const std::map<DWORD, std::string> bySide{{512, "T0"}, {256, "T1"}, {64, "T2"}, {32, "T3"},
                                                             {8, "T4"},   {4, "T5"},   {2, "T6"},  {1, "T7"}};
            const auto side = bySide.find(number(f[1]));
            if (side != bySide.end() && number(f[1]) == number(f[2])) names_[f[7]] = side->second;
        } else if (c == "CreateDepthStencilSurface" && f.size() >= 8 && number(f[1]) == 512) {
            names_[f[7]] = "glow-depth";
        } else if (c == "TextureGetSurfaceLevel" && f.size() >= 4) {
            names_[f[3]] = name(f[1]);
        } else if ((c == "GetRenderTarget" && f.size() >= 3) || (c == "GetBackBuffer" && f.size() >= 5)) {
            if (!names_.count(f.back())) names_[f.back()] = "frame";
        } else if (c == "GetDepthStencilSurface" && f.size() >= 2) {
            if (!names_.count(f[1])) names_[f[1]] = "frame-depth";
        } else if (c == "SetRenderState" && f.size() >= 3) {
            state_.renderStates[number(f[1])] = number(f[2]);
        } else if ((c == "SetTextureStageState" || c == "SetSamplerState") && f.size() >= 4) {
            const DWORD stage = number(f[1]);
            if (stage < 8) (c[3] == 'T' ? state_.stageStates : state_.samplerStates)[stage][number(f[2])] = number(f[3]);
            ++stageCalls_;
        } else if (c == "SetTexture" && f.size() >= 3) {
            const DWORD stage = number(f[1]);
            if (stage < 8) state_.textures[stage] = name(f[2]);
        } else if (c == "SetTransform" && f.size() >= 18) {
            std::array<float, 16> m{};
            for (int i = 0; i < 16; ++i) m[i] = std::strtof(f[2 + i].c_str(), nullptr);
            const DWORD type = number(f[1]);
            if (type >= D3DTS_TEXTURE0 && type < D3DTS_TEXTURE0 + 8) state_.textureTransforms[type - D3DTS_TEXTURE0] = m;
            if (type == D3DTS_WORLD) state_.world = m;
        } else if (c == "SetRenderTarget" && f.size() >= 3 && number(f[1]) == 0) {
            state_.target = name(f[2]);
        } else if (c == "SetDepthStencilSurface" && f.size() >= 2) {
            state_.depth = name(f[1]);
        } else if (emit && (c == "Clear" || c.rfind("Draw", 0) == 0)) {
            LoggedEvent event;
            event.call = c;
            for (std::size_t i = 1; i < f.size(); ++i) event.fields.push_back(name(f[i]));
            event.state = state_;
            event.stageCallsBefore = stageCalls_;
            stageCalls_ = 0;
            events.push_back(std::move(event));
        }
    }

    std::vector<LoggedEvent> events;

private:
    std::string name(const std::string& handle) const
    {
        if (handle == "@0") return "";
        const auto found = names_.find(handle);
        return found == names_.end() ? handle : found->second;
    }

    std::map<std::string, std::string> names_;
    LoggedState state_;
    unsigned stageCalls_ = 0;
};

DWORD lookup(const std::map<DWORD, DWORD>& states, DWORD key, DWORD otherwise)
{
    const auto found = states.find(key);
    return found == states.end() ? otherwise : found->second;
}

} // namespace

DWORD LoggedState::rs(DWORD state, DWORD otherwise) const { return lookup(renderStates, state, otherwise); }

DWORD LoggedState::tss(DWORD stage, DWORD type, DWORD otherwise) const
{
    return lookup(stageStates.at(stage), type, otherwise);
}

DWORD LoggedState::samp(DWORD stage, DWORD type, DWORD otherwise) const
{
    return lookup(samplerStates.at(stage), type, otherwise);
}

std::vector<LoggedEvent> walkLog(const std::vector<std::string>& calls, std::size_t from)
{
    Walker walker;
    for (std::size_t i = 0; i < calls.size(); ++i) walker.line(split(calls[i]), i >= from);
    return std::move(walker.events);
}

std::vector<std::vector<std::string>> callsNamed(const std::vector<std::string>& calls, const std::string& name,
                                                 std::size_t from)
{
    std::vector<std::vector<std::string>> found;
    for (std::size_t i = from; i < calls.size(); ++i) {
        std::vector<std::string> fields = split(calls[i]);
        if (!fields.empty() && fields[0] == name) found.push_back(std::move(fields));
    }
    return found;
}

std::size_t findCall(const std::vector<std::string>& calls, const std::string& prefix, std::size_t from)
{
    for (std::size_t i = from; i < calls.size(); ++i) {
        if (calls[i].rfind(prefix, 0) == 0) return i;
    }
    return calls.size();
}

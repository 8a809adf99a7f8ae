// The trace player's dispatch, generated from the call table: every device call is read
// field by field by its field kinds and made with the values read; object calls go to their
// handlers. Compiles against our device API and, with TRACE_NATIVE_D3D9, against <d3d9.h>.
#include "platform/d3d9/trace/trace_player_state.h"

#include <cstdio>
#include <tuple>

namespace traceplay {

template <class Call, class... Field, class Target, class... A>
bool Player::play(HRESULT (Target::*method)(A...), void (*)(Field...))
{
    static_assert(sizeof...(Field) == sizeof...(A), "one field per argument");
    std::tuple<typename Field::template Slot<A>...> slots;
    Status status = Status::Ok;
    std::apply(
        [&](auto&... slot) {
            // Every field is read (to find malformed ones) even after one decided to skip.
            ((status = status == Status::Error ? status : tracefield::worst(status, slot.read(*this))), ...);
        },
        slots);
    if (status == Status::Error || !in_.expectEnd()) return false;
    if (status == Status::Omit) return true;
    if (status == Status::Skip) return skip();
    return std::apply(
        [&](auto&... slot) {
            if (!before(Call{}, slot.pass()...)) return skip();
            const HRESULT hr = (device_->*method)(slot.pass()...);
            count(hr);
            bool kept = true;
            ((kept = slot.after(*this, hr) && kept), ...);
            if (kept) after(Call{}, hr, slot.pass()...);
            return kept;
        },
        slots);
}

bool Player::dispatch()
{
    const std::string_view name = in_.name();
#define PLAY_Replay(call) return play<tracecall::call>(&IDirect3DDevice9::call, static_cast<tracecall::call::Signature*>(nullptr))
#define PLAY_Query(call) return true
#define PLAY_DEVICE_CALL(call, parameters, arguments, fields, replay) \
    if (name == tracecall::call::name) PLAY_##replay(call);
    TRACE_DEVICE_CALLS(PLAY_DEVICE_CALL)
#undef PLAY_DEVICE_CALL
#undef PLAY_Query
#undef PLAY_Replay
#define PLAY_OBJECT_CALL(call, fields, handler) \
    if (name == tracecall::call::name) return handler();
    TRACE_OBJECT_CALLS(PLAY_OBJECT_CALL)
#undef PLAY_OBJECT_CALL
    return in_.fail("unknown call '" + std::string(name.substr(0, 40)) + "'");
}

bool Player::run()
{
    while (in_.next()) {
        if (!dispatch()) return false;
        ++result_.calls;
    }
    return !in_.failed();
}

void Player::count(HRESULT hr)
{
    if (hr >= 0 || result_.failedCalls++ != 0) return;
    char code[16];
    std::snprintf(code, sizeof code, "0x%08x", static_cast<unsigned>(hr));
    result_.firstFailure =
        "line " + std::to_string(in_.lineNumber()) + ": " + std::string(in_.name()) + " returned " + code;
}

} // namespace traceplay

bool readTraceHeader(std::string_view text, TraceHeader& header, std::string& error)
{
    TraceReader reader(text);
    if (reader.readHeader(header)) return true;
    error = reader.error();
    return false;
}

TraceReplayResult replayTrace(std::string_view text, IDirect3DDevice9* device, const TraceReplayOptions& options)
{
    TraceReplayResult result;
    TraceReader reader(text);
    TraceHeader header;
    if (!reader.readHeader(header)) {
        result.error = reader.error();
        return result;
    }
    if (!device) {
        result.error = "no device to replay on";
        return result;
    }
    {
        traceplay::Player player(device, options, reader, result);
        result.ok = player.run();
    }
    if (!result.ok) result.error = reader.error();
    return result;
}

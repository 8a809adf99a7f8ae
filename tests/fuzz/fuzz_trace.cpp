// Fuzzes the trace player: any text replayed onto a recording device must end in a clean
// result (replayed or a message), never a crash, a leak or an out-of-bounds access.
#include "platform/d3d9/recording/recording_device.h"
#include "platform/d3d9/trace/trace_player.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto* device = new RecordingDevice(64, 64, D3DFMT_A8R8G8B8);
    // Small limits keep each run quick; the player must cope with creations that fail.
    device->caps().MaxTextureWidth = 512;
    device->caps().MaxTextureHeight = 512;
    device->setMemoryLimit(8u << 20);
    device->setKeepCalls(false);
    TraceReplayResult result = replayTrace(text, device);
    if (!result.ok && result.error.empty())
        __builtin_trap(); // a failed replay always says why
    device->Release();
    return 0;
}

// The recording device's calls, generated from the call table: each is logged as its trace
// line, then handled by the device core. Calls that return an object log after the core
// ran, so the line ends with its handle.
#include "platform/d3d9/recording/recording_device.h"

#include <tuple>

namespace {

using Core = d3dcore::DeviceCore;

} // namespace

template <class Call, class Run, class... A>
HRESULT RecordingDevice::recorded(Run run, const A&... arguments)
{
    RecordingLogWriter writer{this};
    if constexpr (Call::Fields::kWrittenAfter) {
        const HRESULT hr = run();
        traceWrite<Call>(writer, hr, arguments...);
        return hr;
    } else {
        traceWrite<Call>(writer, D3D_OK, arguments...);
        return run();
    }
}

#define RECORDING_DEVICE_CALL(call, parameters, arguments, fields, replay)                                   \
    HRESULT RecordingDevice::call parameters                                                                  \
    {                                                                                                          \
        return std::apply([&](const auto&... a) { return recorded<tracecall::call>([&] { return Core::call arguments; }, a...); }, \
                          std::forward_as_tuple arguments);                                                    \
    }
TRACE_DEVICE_CALLS(RECORDING_DEVICE_CALL)
#undef RECORDING_DEVICE_CALL

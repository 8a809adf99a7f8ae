// The tracing device over a recording device writes exactly the lines the recording device
// logs for the same calls, for every reference case (the two writers share the call table;
// this holds their forwarding, wrapping and handle numbering to the same result).
#include "platform/d3d9/recording/recording_device.h"
#include "platform/d3d9/trace/tracing_device.h"
#include "reference/reference_cases.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(TracingDevice, WritesTheLinesTheRecordingDeviceLogsForEveryReferenceCase)
{
    for (const ReferenceCase& c : referenceCases()) {
        RecordingDevice* recorder = new RecordingDevice(c.width, c.height, c.backBufferFormat);
        std::ostringstream trace;
        {
            const TraceHeader header{c.width, c.height, static_cast<std::uint32_t>(c.backBufferFormat), D3DFMT_D24S8};
            TracingDevice tracer(recorder, header);
            tracer.openTrace(trace);
            const std::size_t prologue = linesOf(trace.str()).size();
            recorder->clearCalls(); // the prologue's read-back of the fresh state
            c.draw(&tracer);
            tracer.closeTrace();
            std::vector<std::string> traced = linesOf(trace.str());
            traced.erase(traced.begin(), traced.begin() + static_cast<std::ptrdiff_t>(prologue));
            EXPECT_EQ(traced, recorder->calls()) << c.name;
        }
        recorder->Release();
    }
}

} // namespace

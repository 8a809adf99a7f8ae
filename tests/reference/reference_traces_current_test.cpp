// The committed traces are exactly what the reference cases record today, so the images
// rendered from them on Direct3D 9 still describe the cases (run make-reference-images
// after changing a case), and every committed trace replays without a fault.
#include "platform/d3d9/recording/recording_device.h"
#include "platform/d3d9/trace/trace_player.h"
#include "reference/reference_cases.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string referenceFolder()
{
    return REFERENCE_FOLDER; // tests/reference/ in the source tree
}

class ReferenceTrace : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferenceTrace, CommittedTraceMatchesTheCaseAndReplaysCleanly)
{
    const ReferenceCase& c = GetParam();
    auto* device = new RecordingDevice(c.width, c.height, c.backBufferFormat, D3DFMT_D24S8);
    c.draw(device);
    std::ostringstream recorded;
    recorded << "# " << c.name << ": " << c.description << '\n';
    device->writeTrace(recorded);
    device->Release();

    std::ifstream in(referenceFolder() + c.name + ".trace", std::ios::binary);
    ASSERT_TRUE(in) << c.name << ".trace is missing: run scripts/make-reference-images";
    std::ostringstream committed;
    committed << in.rdbuf();
    EXPECT_TRUE(committed.str() == recorded.str())
        << c.name << ".trace is out of date: run scripts/make-reference-images";

    auto* replay = new RecordingDevice(c.width, c.height, c.backBufferFormat, D3DFMT_D24S8);
    TraceReplayResult result = replayTrace(committed.str(), replay);
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.failedCalls, 0u) << result.firstFailure;
    EXPECT_GE(result.presents, 1u);
    replay->Release();

    std::ifstream png(referenceFolder() + c.name + ".png", std::ios::binary);
    EXPECT_TRUE(png) << c.name << ".png is missing: run scripts/make-reference-images";
}

std::string caseName(const ::testing::TestParamInfo<ReferenceCase>& info)
{
    return std::string("case") + std::string(info.param.name).substr(0, 4);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReferenceTrace, ::testing::ValuesIn(referenceCases()), caseName);

TEST(ReferenceCases, NamesAreUniqueAndNumbered)
{
    const auto& cases = referenceCases();
    ASSERT_GE(cases.size(), 18u);
    for (std::size_t k = 0; k < cases.size(); ++k) {
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "%04zu_", k + 1);
        EXPECT_EQ(std::string(cases[k].name).rfind(prefix, 0), 0u) << cases[k].name;
    }
}

} // namespace

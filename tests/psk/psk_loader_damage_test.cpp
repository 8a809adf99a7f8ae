// Damaged scene files are refused: each case ends the program with "Damaged scene file: " and
// the name of the file at fault (caption "Error", exit code 0), unknown chunk types with their
// own message. Every file is made by the writer.
#include "loader_fixture.h"

namespace {

struct RefusedCase {
    const char* label;
    std::map<std::string, std::vector<std::uint8_t>> files; // "top.psk" is loaded
    std::string message;
};

std::vector<std::uint8_t> bytesOf(const PskWriter& writer) { return writer.bytes(); }

std::vector<std::uint8_t> topGroupNaming(const std::string& properties)
{
    return bytesOf(PskWriter().chunk(1, 0, groupRecord("Holder", -1, properties)));
}

const std::string damagedTop = "Error: Damaged scene file: top.psk";

std::vector<RefusedCase> refusedCases()
{
    std::vector<RefusedCase> cases;
    const std::vector<std::uint8_t> group = bytesOf(PskWriter().chunk(1, 0, groupRecord("G")));
    const PskVertexBuffer plain{1, 0, 0, {{{1, 1, 1}, {}, {}, {}}}, {}};

    cases.push_back({"a payload shorter than its fields",
                     {{"top.psk", bytesOf(PskWriter().rawChunk(2, 1, 0, std::vector<std::uint8_t>(group.begin() + 12, group.end() - 1)))}},
                     damagedTop});
    cases.push_back({"a chunk running past the end of the file",
                     {{"top.psk", bytesOf(PskWriter().raw(group).header(2, 1, 1, 500).raw(std::vector<std::uint8_t>(40, 0)))}},
                     damagedTop});
    cases.push_back({"a header cut short", {{"top.psk", std::vector<std::uint8_t>(group.begin(), group.begin() + 7)}}, damagedTop});
    cases.push_back({"a string longer than its payload",
                     {{"top.psk", bytesOf(PskWriter().rawChunk(9, 1, 0, PskPayloadBuilder().u16(30).raw(std::vector<std::uint8_t>(8, 'a')).bytes()))}},
                     damagedTop});
    cases.push_back({"a vertex count whose data exceeds the payload",
                     {{"top.psk", bytesOf(PskWriter().rawChunk(6, 1, 0, PskPayloadBuilder().u32(1).u32(5).u16(0).u32(1000).f32s(std::vector<float>(8)).bytes()))}},
                     damagedTop});
    cases.push_back({"an index count whose data exceeds the payload",
                     {{"top.psk", bytesOf(PskWriter().rawChunk(7, 1, 0, PskPayloadBuilder().u32(0x40000000u).u32(1).bytes()))}},
                     damagedTop});
    cases.push_back({"a mesh on a node never defined",
                     {{"top.psk", bytesOf(PskWriter().raw(group).chunk(1, 1, PskMesh{7, "M", 2, 3, {}}))}}, damagedTop});
    cases.push_back({"a mesh on a node defined only later",
                     {{"top.psk", bytesOf(PskWriter().chunk(1, 1, PskMesh{0, "M", 2, 3, {}}).raw(group))}}, damagedTop});
    cases.push_back({"a mesh on a vertex buffer instead of a node",
                     {{"top.psk", bytesOf(PskWriter().chunk(1, 0, plain).chunk(1, 1, PskMesh{0, "M", 2, 3, {}}))}}, damagedTop});
    cases.push_back({"a transform track on no node",
                     {{"top.psk", bytesOf(PskWriter().raw(group).chunk(1, 0, PskTransformTrack{4, {}, 0, {}}))}}, damagedTop});
    cases.push_back({"a vertex track on a plain vertex buffer",
                     {{"top.psk", bytesOf(PskWriter().chunk(1, 0, plain).chunk(1, 0, PskVertexTrack{0, {}}))}}, damagedTop});
    cases.push_back({"a vertex track on a node",
                     {{"top.psk", bytesOf(PskWriter().raw(group).chunk(1, 0, PskVertexTrack{0, {}}))}}, damagedTop});
    cases.push_back({"a float track on no object",
                     {{"top.psk", bytesOf(PskWriter().chunk(1, 0, PskFloatTrack{3, "VISTRACK", {}, {1.0f}}))}}, damagedTop});
    cases.push_back({"a float track on an object without control fields",
                     {{"top.psk", bytesOf(PskWriter().chunk(1, 0, plain).chunk(1, 0, PskFloatTrack{0, "VISTRACK", {}, {1.0f}}))}},
                     damagedTop});
    cases.push_back({"a loader node without filename", {{"top.psk", topGroupNaming("loader=1\nanimscale=2")}}, damagedTop});
    cases.push_back({"a file that includes itself", {{"top.psk", topGroupNaming("loader=1\nfilename=top.psk")}}, damagedTop});
    cases.push_back({"a file that includes itself through another",
                     {{"top.psk", topGroupNaming("loader=1\nfilename=b.psk")},
                      {"b.psk", bytesOf(PskWriter().chunk(1, 0, groupRecord("B", -1, "loader=1\nfilename=top.psk")))}},
                     "Error: Damaged scene file: b.psk"});
    cases.push_back({"damage inside a nested file names that file",
                     {{"top.psk", topGroupNaming("loader=1\nfilename=inner.psk")},
                      {"inner.psk", std::vector<std::uint8_t>(group.begin(), group.end() - 3)}},
                     "Error: Damaged scene file: inner.psk"});
    cases.push_back({"a texture name shorter than three characters",
                     {{"top.psk", bytesOf(PskWriter().chunk(1, 0, PskTexture{"ab"}))}}, damagedTop});
    cases.push_back({"a sprite on no node",
                     {{"top.psk", bytesOf(PskWriter().chunk(1, 0, PskSprite{5, 1, 1.0f, false}))}}, damagedTop});
    cases.push_back({"a sprite on a material",
                     {{"top.psk", bytesOf(PskWriter().chunk(1, 0, PskMaterial{}).chunk(1, 1, PskSprite{0, 1, 1.0f, false}))}},
                     damagedTop});
    cases.push_back({"a float track on a mesh reports as meshes do",
                     {{"top.psk", bytesOf(PskWriter().raw(group).chunk(1, 1, PskMesh{0, "M", 2, 3, {PskSubMesh{}}}).chunk(1, 0, PskFloatTrack{1, "X", {}, {1.0f}}))}},
                     "Error: Mesh: Invalid control field!"});
    cases.push_back({"a chunk of type 14", {{"top.psk", bytesOf(PskWriter().raw(group).rawChunk(14, 1, 0, {}))}},
                     "Error: Unknown chunk in file!"});
    cases.push_back({"a chunk of type 0", {{"top.psk", bytesOf(PskWriter().rawChunk(0, 1, 0, std::vector<std::uint8_t>(4, 0)))}},
                     "Error: Unknown chunk in file!"});
    cases.push_back({"a missing nested file", {{"top.psk", topGroupNaming("loader=1\nfilename=gone.psk")}},
                     "Error: Couldn't open file: gone.psk"});
    return cases;
}

class RefusedFile : public LoaderTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedFile, EndsTheProgramWithItsMessage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    files = GetParam().files;
    EXPECT_EXIT(WITH_REAL_SHELL(load("top.psk")), ::testing::ExitedWithCode(0), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Loader, RefusedFile, ::testing::ValuesIn(refusedCases()),
                         [](const ::testing::TestParamInfo<RefusedCase>& info) {
                             std::string name;
                             for (const char* c = info.param.label; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST(NestingDepth, ChainsOfDistinctFilesStopAtTheLimit)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Each file names the next; none repeats, so only the depth limit ends the chain.
    auto run = [] {
        RecordingDevice* device = new RecordingDevice(8, 8, D3DFMT_X8R8G8B8);
        SceneGraph scene(device);
        PSKSceneLoader& loader = scene.create<PSKSceneLoader>(scene.nextId());
        loader.setFileReader([](const std::string& name) {
            const int next = std::stoi(name.substr(1)) + 1;
            return PskWriter().chunk(1, 0, groupRecord("N", -1, "loader=1\nfilename=f" + std::to_string(next))).bytes();
        });
        loader.load("f0");
    };
    EXPECT_EXIT(WITH_REAL_SHELL(run()), ::testing::ExitedWithCode(0),
                "Error: Damaged scene file: f" + std::to_string(PSKSceneLoader::kMaxNesting));
}

TEST(NestingDepth, FilesNamingTheNextTwiceStopAtTheLoadLimit)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // f0 .. f11 each name the next file twice, f12 names none: 8190 nested loads of files
    // that are each sound, twelve levels deep.
    auto run = [] {
        RecordingDevice* device = new RecordingDevice(8, 8, D3DFMT_X8R8G8B8);
        SceneGraph scene(device);
        PSKSceneLoader& loader = scene.create<PSKSceneLoader>(scene.nextId());
        loader.setFileReader([](const std::string& name) {
            const int level = std::stoi(name.substr(1));
            if (level == 12)
                return PskWriter().chunk(1, 0, groupRecord("Leaf")).bytes();
            const std::string next = "loader=1\nfilename=f" + std::to_string(level + 1);
            return PskWriter().chunk(1, 0, groupRecord("A", -1, next)).chunk(1, 1, groupRecord("B", -1, next)).bytes();
        });
        loader.load("f0");
    };
    EXPECT_EXIT(WITH_REAL_SHELL(run()), ::testing::ExitedWithCode(0), "Error: Damaged scene file: f[0-9]+");
}

} // namespace

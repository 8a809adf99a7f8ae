// The generated sample demo as a whole: every file a script or scene names is there, the scene
// files read back undamaged and together use every kind of scene content, and the script's
// timeline agrees with the music file it seeks in.
#include "content_writer.h"
#include "script_text.h"
#include "song.h"

#include "psk/psk_chunk_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::vector<std::string>> scriptLines(const fs::path& path)
{
    std::ifstream in(path);
    std::vector<std::vector<std::string>> lines;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::vector<std::string> tokens{std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
        if (!tokens.empty() && tokens[0][0] != '#') lines.push_back(tokens);
    }
    return lines;
}

class SampleContent : public ::testing::Test {
protected:
    static fs::path content, loose;

    static void SetUpTestSuite()
    {
        const fs::path base = fs::temp_directory_path() / ("sample_content_" + std::to_string(::getpid()));
        fs::remove_all(base);
        content = base / "content";
        loose = base / "run";
        writeSampleContent(content, loose);
    }
    static void TearDownTestSuite() { fs::remove_all(content.parent_path()); }

    static std::vector<PskChunk> scene(const std::string& name)
    {
        const std::vector<std::uint8_t> bytes = readBytes(content / name);
        PskFile file = readPskFile(bytes);
        EXPECT_FALSE(file.damage.has_value()) << name << ": " << (file.damage ? file.damage->reason : "");
        return std::move(file.chunks);
    }
};
fs::path SampleContent::content, SampleContent::loose;

TEST_F(SampleContent, EveryFileTheScriptsNameIsWritten)
{
    std::vector<std::string> scripts{"demo.psc"};
    for (std::size_t k = 0; k < scripts.size(); ++k) {
        for (const auto& words : scriptLines(content / scripts[k])) {
            const std::string& keyword = words[0];
            if (keyword.rfind("load", 0) == 0 || keyword == "include") {
                ASSERT_GE(words.size(), 3u) << scripts[k] << ": " << keyword;
                EXPECT_TRUE(fs::is_regular_file(content / words[1])) << scripts[k] << " names " << words[1];
                if (keyword == "include") scripts.push_back(words[1]);
            }
        }
    }
    EXPECT_EQ(scripts.size(), 5u); // demo.psc and its four sections
}

TEST_F(SampleContent, PictureSequencesNameWrittenFrames)
{
    std::ifstream in(content / "ring.seq");
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "fps=16");
    int frames = 0;
    for (; std::getline(in, line); ++frames) EXPECT_TRUE(fs::is_regular_file(content / line)) << line;
    EXPECT_EQ(frames, 8);
}

TEST_F(SampleContent, SceneFilesNameOnlyWrittenFilesAndKeepTheirSequenceBesideTheContainer)
{
    for (const char* name : {"citadel.psk", "ocean.psk", "ring.psk"}) {
        for (const PskChunk& chunk : scene(name)) {
            if (const auto* texture = std::get_if<PskTexture>(&chunk.payload)) {
                EXPECT_TRUE(fs::is_regular_file(content / texture->fileName)) << name << " names " << texture->fileName;
            }
            const PskNodeRecord* node = nullptr;
            if (const auto* g = std::get_if<PskGroup>(&chunk.payload)) node = &g->node;
            if (node && node->properties.find("filename=") != std::string::npos) {
                const std::size_t at = node->properties.find("filename=") + 9;
                const std::string nested = node->properties.substr(at, node->properties.find('\n', at) - at);
                EXPECT_TRUE(fs::is_regular_file(content / nested)) << name << " nests " << nested;
            }
        }
    }
    // The player looks for a texture's sequence file on disk only.
    EXPECT_TRUE(fs::is_regular_file(loose / "crystal.seq"));
}

TEST_F(SampleContent, TheScenesTogetherUseEveryKindOfSceneContent)
{
    std::set<int> lightTypes;
    std::map<std::string, int> found;
    for (const char* name : {"citadel.psk", "ocean.psk"}) {
        for (const PskChunk& chunk : scene(name)) {
            std::visit(
                [&](const auto& record) {
                    using T = std::decay_t<decltype(record)>;
                    if constexpr (std::is_same_v<T, PskLight>) lightTypes.insert(record.lightType);
                    if constexpr (std::is_same_v<T, PskCamera>) {
                        ++found["camera"];
                        if (record.switches && !record.switches->activationTimes.empty()) ++found["timed camera"];
                    }
                    if constexpr (std::is_same_v<T, PskGroup>) {
                        if (record.node.properties.find("skybox") != std::string::npos) ++found["skybox"];
                        if (record.node.properties.find("loader=") != std::string::npos) ++found["nested"];
                    }
                    if constexpr (std::is_same_v<T, PskLight>)
                        if (record.node.properties.find("a0.keyframes") != std::string::npos) ++found["keyframed"];
                    if constexpr (std::is_same_v<T, PskTransformTrack>) ++found["sampled transform"];
                    if constexpr (std::is_same_v<T, PskFloatTrack>) ++found["sampled float"];
                    if constexpr (std::is_same_v<T, PskVertexTrack>) ++found["vertex track"];
                    if constexpr (std::is_same_v<T, PskVertexBuffer>)
                        if (record.frameCount > 1 &&
                            record.laterFramePositions.size() == (record.frameCount - 1) * record.vertices.size() * 3)
                            ++found["vertex frames"];
                    if constexpr (std::is_same_v<T, PskSprite>) ++found["sprite"];
                    if constexpr (std::is_same_v<T, PskMaterial>)
                        if (record.selfIllumination.red > 0.0f) ++found["glowing"];
                },
                chunk.payload);
        }
    }
    EXPECT_EQ(lightTypes, (std::set<int>{1, 2, 3}));
    for (const char* kind : {"camera", "timed camera", "skybox", "nested", "keyframed", "sampled transform", "sampled float",
                             "vertex track", "vertex frames", "sprite", "glowing"})
        EXPECT_GT(found[kind], 0) << kind;
    EXPECT_GE(found["skybox"], 2);
}

TEST_F(SampleContent, TheTimelineEndsWithTheMusicAndSeeksInsideIt)
{
    const std::vector<std::uint8_t> ogg = readBytes(content / "song.ogg");
    ASSERT_GT(ogg.size(), 4u);
    EXPECT_EQ(std::string(ogg.begin(), ogg.begin() + 4), "OggS");
    const double songMs = kSongSeconds * 1000.0;
    EXPECT_GE(songMs, 60000.0);

    // Each section's waits move forward only; the last one is the demo's end.
    std::map<std::string, int> offsets;
    for (const auto& words : scriptLines(content / "demo.psc"))
        if (words[0] == "include") offsets[words[1]] = std::atoi(words[2].c_str());
    ASSERT_EQ(offsets.size(), 4u);
    int end = 0;
    int outroMusicStart = -1, outroOffset = offsets["outro.psc"];
    for (const auto& [file, offset] : offsets) {
        int last = -1;
        for (const auto& words : scriptLines(content / file)) {
            if (words[0] == "waituntil") {
                const int at = std::atoi(words[1].c_str());
                EXPECT_GE(at, last) << file;
                last = at;
                end = std::max(end, offset + at);
            }
            if (words[0] == "playmusic") {
                const int start = std::atoi(words[2].c_str());
                EXPECT_LT(start, songMs) << file;
                // Seeks land on a bar, so the beat carries on.
                EXPECT_EQ(start % static_cast<int>(kBarSeconds * 1000), 0) << file;
                if (file == "outro.psc") outroMusicStart = start;
            }
        }
    }
    EXPECT_EQ(end, kDemoEndMs);
    // The outro's music, started at the outro's offset, lasts until the demo ends.
    ASSERT_GE(outroMusicStart, 0);
    EXPECT_GE(songMs - outroMusicStart, kDemoEndMs - outroOffset);
    EXPECT_GE(kDemoEndMs, 60000);
    EXPECT_LE(kDemoEndMs, 90000);
}

} // namespace

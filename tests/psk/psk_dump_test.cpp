// demotool psk dump: the text and JSON listings of writer-made files, damaged ones included,
// and the command's exit codes.
#include "json_syntax.h"
#include "psk_sample_chunks.h"
#include "psk_test_support.h"

#include "psk_dump.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Dump {
    std::string text;
    std::optional<PskDamage> damage;
};

Dump dump(const std::vector<std::uint8_t>& bytes, bool json)
{
    std::ostringstream out;
    std::optional<PskDamage> damage = dumpPskFile(bytes, json, out);
    return {out.str(), damage};
}

bool hasLine(const std::string& text, const std::string& line)
{
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

} // namespace

TEST(PskDump, JsonCheckerTellsGoodFromBad)
{
    for (const char* good : {"{}", "[1,-2.5e-3,\"a\\u00ff\",null,true,{\"k\":[]}]", "{\"a\":{\"b\":0}}"})
        EXPECT_TRUE(isValidJson(good)) << good;
    for (const char* bad : {"", "[1,]", "{\"a\" 1}", "[,1]", "{\"a\":1,}", "[\"\x01\"]", "[01]", "[nan]", "{} {}"})
        EXPECT_FALSE(isValidJson(bad)) << bad;
}

TEST(PskDump, TextListsEveryChunkWithItsHeader)
{
    const std::vector<PskSampleChunk> chunks = samplePskChunks();
    const Dump d = dump(writePskChunks(chunks), false);
    EXPECT_FALSE(d.damage);
    std::size_t headers = 0;
    std::istringstream lines(d.text);
    for (std::string line; std::getline(lines, line);)
        headers += line.rfind("chunk ", 0) == 0;
    EXPECT_EQ(headers, chunks.size());
    EXPECT_TRUE(hasLine(d.text, "chunk 0 at 0: type 1 ambient, version 1, object 0, payload 4 bytes")) << d.text;
    EXPECT_TRUE(hasLine(d.text, "  colour: argb 0xff204060, rgba 0.1254902 0.2509804 0.37647063 1"));
    EXPECT_TRUE(hasLine(d.text, "chunk 1 at 16: type 2 group, version 1, object 0, payload 74 bytes"));
    EXPECT_TRUE(hasLine(d.text, "  transform: position 1.5 -2 3.25, rotation 0 0.70710677 0 0.70710677, scale 1 2 0.5"));
    EXPECT_TRUE(hasLine(d.text, "  properties: \"loader = no\\r\\nGlow=1\\n\""));
    EXPECT_TRUE(hasLine(d.text, "  frame 2: positions 0 0 2 0 1 2"));
    EXPECT_TRUE(hasLine(d.text, "  sub-mesh 1: start index 3, material 10, unused 0, index count 3, skipped 255"));
    EXPECT_TRUE(hasLine(d.text, "  sample 1: rotation 0 1 0 0"));
    EXPECT_TRUE(hasLine(d.text, std::to_string(chunks.size()) + " chunks, no damage"));
}

TEST(PskDump, TextShowsValuesAsTheReaderConvertsThem)
{
    PskGroup group{samplePskNode("Odd \"name\"\n\xC3\xA9", -1)};
    group.node.visibility = 1.7f;
    PskCamera camera;
    camera.node = samplePskNode("C", -1);
    camera.farDistance = 1000.0f;
    PskWriter writer;
    writer.chunk(2, 7, group).chunk(1, 8, camera);
    writer.rawChunk(7, 1, 9, PskPayloadBuilder().u32(1).u32(65536 + 2).bytes());
    const Dump d = dump(writer.bytes(), false);
    EXPECT_TRUE(hasLine(d.text, "  name: \"Odd \\\"name\\\"\\n\\xc3\\xa9\"")) << d.text;
    EXPECT_TRUE(hasLine(d.text, "  visibility: 1"));
    EXPECT_TRUE(hasLine(d.text, "  lens: field of view 0, near 0.01, far 1000"));
    EXPECT_TRUE(hasLine(d.text, "  indices: 2"));
}

TEST(PskDump, DamageEndsTheListingWithItsOffset)
{
    const std::vector<std::uint8_t> bytes = writePskChunks(samplePskChunks());
    const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + 250);
    const Dump d = dump(cut, false);
    ASSERT_TRUE(d.damage);
    EXPECT_EQ(d.damage->offset, 193u + 8);
    EXPECT_NE(d.text.find("chunk 2 at 102"), std::string::npos);
    EXPECT_EQ(d.text.find("chunk 3"), std::string::npos);
    EXPECT_TRUE(d.text.ends_with("\ndamaged at byte 201: " + d.damage->reason + "\n")) << d.text;
}

TEST(PskDump, JsonIsValidForEveryCutOfTheSampleFile)
{
    const std::vector<std::uint8_t> bytes = writePskChunks(samplePskChunks());
    for (std::size_t size = 0; size <= bytes.size(); size += 7) {
        const Dump d = dump(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + size), true);
        ASSERT_TRUE(isValidJson(d.text)) << "cut at " << size << ":\n" << d.text;
        const std::string damage = d.damage ? "\"damage\":{\"offset\":" + std::to_string(d.damage->offset)
                                            : std::string("\"damage\":null");
        EXPECT_NE(d.text.find(damage), std::string::npos) << "cut at " << size;
    }
}

TEST(PskDump, JsonHoldsOddStringsAndFloatsItCannotWriteAsNumbers)
{
    PskFloatTrack track{0, std::string("a\"b\\c\x01\xFF", 7), {}, {NAN, INFINITY, -INFINITY, 0.5f}};
    PskWriter writer;
    writer.chunk(1, 0, track).chunk(1, 0, PskTexture{""});
    writer.rawChunk(14, 1, 0, {});
    const Dump d = dump(writer.bytes(), true);
    EXPECT_TRUE(isValidJson(d.text)) << d.text;
    EXPECT_NE(d.text.find("\"control_field\":\"a\\\"b\\\\c\\u0001\\u00ff\""), std::string::npos) << d.text;
    EXPECT_NE(d.text.find("\"samples\":[\"nan\",\"inf\",\"-inf\",0.5]"), std::string::npos) << d.text;
    EXPECT_NE(d.text.find("\"kind\":\"unknown chunk\""), std::string::npos) << d.text;
}

namespace {

struct ToolRun {
    int code;
    std::string out;
    std::string err;
};

std::string slurp(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

ToolRun runDemotool(const std::filesystem::path& folder, const std::string& arguments)
{
    const std::string command = std::string(DEMOTOOL_PATH) + " " + arguments + " >" + (folder / "out").string() +
                                " 2>" + (folder / "err").string();
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(folder / "out"), slurp(folder / "err")};
}

} // namespace

TEST(PskDump, CommandExitsWithOneNamingTheDamagedByte)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("psk_dump_test_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::vector<std::uint8_t> bytes = writePskChunks(samplePskChunks());
    auto write = [&](const char* name, std::size_t size) {
        std::ofstream(folder / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), size);
        return (folder / name).string();
    };
    const std::string good = write("good.psk", bytes.size());
    const std::string cut = write("cut.psk", 250);

    const ToolRun text = runDemotool(folder, "psk dump " + good);
    EXPECT_EQ(text.code, 0) << text.err;
    EXPECT_EQ(text.out, dump(bytes, false).text);
    const ToolRun json = runDemotool(folder, "psk dump --json " + good);
    EXPECT_EQ(json.code, 0) << json.err;
    EXPECT_TRUE(isValidJson(json.out));

    const ToolRun damaged = runDemotool(folder, "psk dump " + cut);
    EXPECT_EQ(damaged.code, 1);
    EXPECT_EQ(damaged.err.rfind("demotool: " + cut + ": damaged at byte 201: ", 0), 0u) << damaged.err;
    EXPECT_EQ(runDemotool(folder, "psk dump --json " + cut).code, 1);
    EXPECT_EQ(runDemotool(folder, "psk dump " + (folder / "missing.psk").string()).code, 1);
    EXPECT_EQ(runDemotool(folder, "psk dump").code, 2);
    EXPECT_EQ(runDemotool(folder, "psk").code, 2);
    std::filesystem::remove_all(folder);
}

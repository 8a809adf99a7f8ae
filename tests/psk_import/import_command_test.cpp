// The `demotool psk import` command end to end: exit codes, notes on standard error, and a
// round trip through `demotool psk dump` that lists the imported chunks without damage.
#include "import_test_support.h"
#include "source_files.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int code;
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ToolRun demotool(const fs::path& folder, const std::string& arguments)
{
    const std::string command = std::string(DEMOTOOL_PATH) + " " + arguments + " >" + (folder / "out").string() +
                                " 2>" + (folder / "err").string();
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(folder / "out"), slurp(folder / "err")};
}

fs::path writeLitQuad(const fs::path& dir)
{
    writeTextFile(dir / "quad.mtl", "newmtl M\nKd 1 1 1\nmap_Kd missing.png\n");
    writeTextFile(dir / "quad.obj", "mtllib quad.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nusemtl M\nf 1 2 3 4\n");
    return dir / "quad.obj";
}

} // namespace

TEST(ImportCommand, ImportsSaysWhatWasDroppedAndDumpsBack)
{
    const fs::path dir = freshFolder();
    const fs::path input = writeLitQuad(dir);
    const ToolRun run = demotool(dir, "psk import " + input.string() + " -o " + (dir / "quad.psk").string());
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("1 meshes, 1 materials, 0 textures"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("demotool: " + input.string() + ": material \"M\": texture file \"missing.png\" not found"),
              std::string::npos)
        << run.err;

    const ToolRun dump = demotool(dir, "psk dump " + (dir / "quad.psk").string());
    ASSERT_EQ(dump.code, 0) << dump.err;
    for (const char* kind : {"type 1 ambient", "type 2 group", "type 3 mesh", "type 6 vertex buffer",
                             "type 7 index buffer", "type 8 material"})
        EXPECT_NE(dump.out.find(kind), std::string::npos) << kind;
    EXPECT_NE(dump.out.find("no damage"), std::string::npos) << dump.out;
}

TEST(ImportCommand, ExitCodesForUsageAndForNothingUsable)
{
    const fs::path dir = freshFolder();
    const fs::path input = writeLitQuad(dir);
    const std::string out = " -o " + (dir / "x.psk").string();
    struct Case {
        std::string arguments;
        int code;
    };
    writeTextFile(dir / "lines.obj", "v 0 0 0\nv 1 0 0\nl 1 2\n");
    const Case cases[] = {
        {"psk import " + input.string() + out + " --fps 0", 2},
        {"psk import " + input.string() + out + " --scale nan", 2},
        {"psk import " + input.string() + out + " --scale -1", 2},
        {"psk import " + input.string(), 2},
        {"psk import " + (dir / "none.obj").string() + out, 1},
        {"psk import " + (dir / "lines.obj").string() + out, 1},
    };
    for (const Case& c : cases) {
        const ToolRun run = demotool(dir, c.arguments);
        EXPECT_EQ(run.code, c.code) << c.arguments << "\n" << run.err;
        EXPECT_FALSE(fs::exists(dir / "x.psk")) << c.arguments;
    }
}

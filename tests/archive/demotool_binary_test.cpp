// The demotool executable itself: a one-file demo made with pack and append opens in the
// archive, and the exit codes and one-line messages reach the shell as documented.
#include "archive/resource_archive.h"
#include "archive_test_support.h"

#include <cstdlib>
#include <sys/wait.h>

namespace {

struct Result {
    int code;
    std::string err;
};

Result run(const ScratchFolder& scratch, const std::string& arguments)
{
    const std::string command = std::string(DEMOTOOL_PATH) + " " + arguments + " >" + (scratch / "out.txt").string() +
                                " 2>" + (scratch / "err.txt").string();
    const int status = std::system(command.c_str());
    const Bytes err = readFile(scratch / "err.txt");
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(err.begin(), err.end())};
}

} // namespace

TEST(DemotoolBinary, PackAppendListExtract)
{
    ScratchFolder scratch;
    const Bytes script = wordyBytes(2000, 1);
    const Bytes picture = randomBytes(300, 2);
    writeFile(scratch / "src/demo.psc", script);
    writeFile(scratch / "src/tex/a.png", picture);
    writeFile(scratch / "player", randomBytes(1000, 3));
    const std::string s = scratch.path().string();

    ASSERT_EQ(run(scratch, "pack -o " + s + "/d.cfl -C " + s + "/src --filter-for '*.png=none' .").code, 0);
    ASSERT_EQ(run(scratch, "append " + s + "/player " + s + "/d.cfl -o " + s + "/demo").code, 0);
    ResourceArchive archive;
    ASSERT_TRUE(archive.open(s + "/demo"));
    EXPECT_EQ(archive.read("demo.psc"), script);
    EXPECT_EQ(archive.read("tex/a.png"), picture);

    ASSERT_EQ(run(scratch, "list " + s + "/demo").code, 0);
    const Bytes listing = readFile(scratch / "out.txt");
    const std::string text(listing.begin(), listing.end());
    EXPECT_EQ(text.rfind("demo.psc\t2000\t", 0), 0u) << text;
    EXPECT_NE(text.find("\ntex/a.png\t300\t300\t0x00000000\tnone\n"), std::string::npos) << text;

    ASSERT_EQ(run(scratch, "extract " + s + "/demo -C " + s + "/dst").code, 0);
    EXPECT_EQ(readFile(scratch / "dst/demo.psc"), script);
    EXPECT_EQ(readFile(scratch / "dst/tex/a.png"), picture);
}

TEST(DemotoolBinary, ExitCodes)
{
    ScratchFolder scratch;
    writeFile(scratch / "plain", randomBytes(100, 1));
    EXPECT_EQ(run(scratch, "pack --help").code, 0);
    EXPECT_EQ(run(scratch, "").code, 2);
    EXPECT_EQ(run(scratch, "pack -o x.cfl --filter lz4 .").code, 2);
    const Result bad = run(scratch, "list " + (scratch / "plain").string());
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
}

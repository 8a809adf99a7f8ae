// demotool psk dump FILE [--json] (and psk import, psk_import_command.h): lists every chunk of a PSK scene file with its decoded
// fields (docs/psk-format.md). A damaged file is listed up to the damage, which is named by
// the offset of its first bad byte, and the command then exits with code 1.
#include "commands.h"
#include "file_io.h"
#include "psk_dump.h"
#include "psk_import_command.h"
#include "tool_error.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace {

struct PskDumpArguments {
    std::string path;
    bool json = false;
};

void runPskDump(const PskDumpArguments& arguments)
{
    const std::vector<std::uint8_t> bytes = readFileBytes(arguments.path);
    const std::optional<PskDamage> damage = dumpPskFile(bytes, arguments.json, std::cout);
    std::cout.flush();
    if (damage)
        throw ToolError(arguments.path + ": damaged at byte " + std::to_string(damage->offset) + ": " + damage->reason);
}

} // namespace

void addPskCommand(CLI::App& app)
{
    CLI::App* psk = app.add_subcommand("psk", "Work with PSK scene files (see docs/psk-format.md).");
    psk->require_subcommand(1);
    auto arguments = std::make_shared<PskDumpArguments>();
    CLI::App* dump = psk->add_subcommand("dump", "List every chunk of a scene file with its decoded fields.");
    dump->add_option("FILE", arguments->path, "PSK scene file")->required();
    dump->add_flag("--json", arguments->json, "Write JSON instead of text, for scripts");
    dump->footer("A damaged file is listed up to its first bad byte, which is named; the exit code is then 1.");
    dump->callback([arguments] { runPskDump(*arguments); });
    addPskImportCommand(*psk);
}

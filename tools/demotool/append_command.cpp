// demotool append: a one-file demo — the player, then the container, then the eight-byte
// trailer that lets the player find the container at the end of its own file.
#include "archive/container_reader.h"
#include "archive/container_writer.h"
#include "commands.h"
#include "file_io.h"
#include "tool_error.h"

#include <CLI/CLI.hpp>

namespace {

struct AppendOptions {
    std::filesystem::path player;
    std::filesystem::path archive;
    std::filesystem::path output;
};

void runAppend(const AppendOptions& options)
{
    const std::optional<ContainerDirectory> directory = readContainerDirectory(options.archive.string(), 0);
    if (!directory || directory->base != 0)
        throw ToolError(options.archive.string() + ": not a stand-alone container, or a damaged one");
    std::vector<std::uint8_t> bytes = readFileBytes(options.player);
    const std::vector<std::uint8_t> container = readFileBytes(options.archive);
    const std::optional<std::vector<std::uint8_t>> trailer = containerTrailer(container.size());
    if (!trailer)
        throw ToolError(options.archive.string() + ": container too large to append");
    bytes.insert(bytes.end(), container.begin(), container.end());
    bytes.insert(bytes.end(), trailer->begin(), trailer->end());
    writeFileAtomically(options.output, bytes, 0777);
}

} // namespace

void addAppendCommand(CLI::App& app)
{
    auto options = std::make_shared<AppendOptions>();
    CLI::App* command = app.add_subcommand("append", "Append a container to the player: a one-file demo.");
    command->add_option("PLAYER", options->player, "The player executable")->required()->type_name("");
    command->add_option("ARCHIVE", options->archive, "A stand-alone container (.cfl)")->required()->type_name("");
    command->add_option("-o,--output", options->output, "The one-file demo to write (made executable)")->required()->type_name("OUT");
    command->callback([options] { runAppend(*options); });
}

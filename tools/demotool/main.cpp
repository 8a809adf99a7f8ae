// demotool: packs, inspects and unpacks demo containers and makes one-file demos.
#include "commands.h"

#include <CLI/CLI.hpp>

int main(int argc, char** argv)
{
    CLI::App app{"Tools for demos: pack, list, extract, append, play, capture, trace, psk.", "demotool"};
    addPackCommand(app);
    addListCommand(app);
    addExtractCommand(app);
    addAppendCommand(app);
    addPlayCommand(app);
    addCaptureCommand(app);
    addTraceCommand(app);
    addPskCommand(app);
    return runDemotool(app, argc, argv);
}

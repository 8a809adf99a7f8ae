// `demotool psk import`: the command line over importSceneToPsk (psk_import/psk_import.h).
#pragma once

namespace CLI {
class App;
}

void addPskImportCommand(CLI::App& psk);

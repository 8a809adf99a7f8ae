// Writes the seed corpus of fuzz_psk_chunks into the folder given as its argument; every seed
// is made by the PSK writer (pskFuzzSeeds). Regenerate with:
//   build/default/tests/psk/make_psk_fuzz_seeds tests/fuzz/corpus/psk_chunks
#include "psk_sample_chunks.h"

#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_psk_fuzz_seeds FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const auto& [name, bytes] : pskFuzzSeeds()) {
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::cerr << "make_psk_fuzz_seeds: cannot write " << (folder / name).string() << '\n';
            return 1;
        }
    }
    return 0;
}

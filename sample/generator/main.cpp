// Writes the sample demo's content: music, pictures, scene files, a Flash movie and scripts.
// Usage: sample_generator CONTENT_DIR [LOOSE_DIR]
#include "content_writer.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s CONTENT_DIR [LOOSE_DIR]\n", argv[0]);
        return 2;
    }
    try {
        writeSampleContent(argv[1], argc == 3 ? argv[2] : argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "sample_generator: %s\n", error.what());
        return 1;
    }
    return 0;
}

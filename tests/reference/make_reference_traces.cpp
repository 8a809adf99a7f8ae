// Writes every reference case as a trace (NAME.trace) into the folder given on the command
// line, by drawing it on a recording device. scripts/make-reference-images runs it before
// rendering the traces on the real Direct3D 9.
#include "platform/d3d9/recording/recording_device.h"
#include "reference/reference_cases.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_reference_traces FOLDER\n");
        return 2;
    }
    int written = 0;
    for (const ReferenceCase& c : referenceCases()) {
        auto* device = new RecordingDevice(c.width, c.height, c.backBufferFormat, D3DFMT_D24S8);
        c.draw(device);
        const std::string path = std::string(argv[1]) + "/" + c.name + ".trace";
        std::ofstream out(path, std::ios::binary);
        out << "# " << c.name << ": " << c.description << '\n';
        device->writeTrace(out);
        device->Release();
        if (!out) {
            std::fprintf(stderr, "%s: cannot write\n", path.c_str());
            return 1;
        }
        ++written;
    }
    std::printf("%d traces written to %s\n", written, argv[1]);
    return 0;
}

// Writes the whole-frame test demo into the folder given and lists the frames to keep, one
// "frame-number name" line each (scripts/make-reference-images captures them).
#include "reference/whole_frame_demo.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_whole_frame_demo FOLDER\n");
        return 2;
    }
    writeWholeFrameDemo(argv[1]);
    for (const WholeFrame& frame : kWholeFrames) std::printf("%d %s\n", frame.frame, frame.name);
    return 0;
}

// Writes the seed corpus of fuzz_psk_loader into the folder given as its argument: the
// reader's seeds (pskFuzzSeeds) and scenes that reach the loader's own paths: parents named
// before their chunk, a skybox, a nested scene ("nested.psk", answered by the fuzz target),
// surfaces (the texture "wood.tga", which the fuzz target can answer, and one it cannot), tracks
// on every kind of target and the references it refuses. Regenerate with:
//   build/default/tests/psk/make_psk_loader_seeds tests/fuzz/corpus/psk_loader
#include "psk_sample_chunks.h"

#include "psk/psk_writer.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

PskGroup group(const std::string& name, std::int32_t parent, const std::string& properties = "")
{
    PskNodeRecord node;
    node.name = name;
    node.parent = parent;
    node.properties = properties;
    return PskGroup{node};
}

std::map<std::string, std::vector<std::uint8_t>> loaderSeeds()
{
    std::map<std::string, std::vector<std::uint8_t>> seeds = pskFuzzSeeds();
    const PskVertexBuffer morph{2, kPskHasNormals, 0, {{{0, 1, 0}, {0, 0, 1}, {}, {}}}, {1, 2, 3}};
    PskCamera camera{group("Eye", 0).node, 1.0f, 0.0f, 100.0f, PskCameraSwitches{{0, 500}, 0, 1000}};
    seeds["loader_scene.psk"] = PskWriter()
                                    .chunk(1, 0, PskAmbient{PskColour::fromArgb(0xFF102030u)})
                                    .chunk(2, 1, group("Child", 2))
                                    .chunk(2, 2, group("Root", -1, "animations=1\na0.field=VISTRACK\na0.keyframes=2\na0.kf0=0 0\na0.kf1=100 1"))
                                    .chunk(3, 3, camera)
                                    .chunk(1, 4, group("Sky", 2, "skybox=1"))
                                    .chunk(1, 5, morph)
                                    .chunk(1, 6, PskIndexBuffer{{0, 0, 0}})
                                    .chunk(1, 7, PskMesh{1, "M", 5, 6, {}})
                                    .chunk(1, 0, PskTransformTrack{1, {0, 100, 0, 100}, kPskTrackRotation, {{}, {}}})
                                    .chunk(1, 0, PskVertexTrack{5, {0, 100, 0, 100}})
                                    .chunk(1, 0, PskFloatTrack{2, "VISTRACK", {0, 100, 0, 100}, {0.0f, 1.0f}})
                                    .bytes();
    seeds["loader_nested.psk"] = PskWriter()
                                     .chunk(1, 0, group("Holder", -1, "loader=1\nfilename=nested.psk\nanimoffset=100\nanimscale=2"))
                                     .chunk(1, 1, group("After", 0))
                                     .bytes();
    PskMaterial material;
    material.diffuseMap = 1;
    material.additiveMap = 2;
    seeds["loader_surfaces.psk"] = PskWriter()
                                       .chunk(2, 0, group("Holder", -1))
                                       .chunk(1, 1, PskTexture{"wood.tga"})
                                       .chunk(1, 2, PskTexture{"anim.tga"})
                                       .chunk(2, 3, material)
                                       .chunk(1, 4, morph)
                                       .chunk(1, 5, PskIndexBuffer{{0, 0, 0}})
                                       .chunk(1, 6, PskMesh{0, "M", 4, 5, {{0, 3, 0, 3, 0}, {3, 3, 0, 3, 0}}})
                                       .chunk(1, 7, PskSprite{0, 2, 4.0f, false})
                                       .chunk(1, 0, PskFloatTrack{3, "OPACITY", {0, 10, 0, 10}, {0.0f, 1.0f}})
                                       .chunk(1, 0, PskFloatTrack{2, "Active Image", {0, 10, 0, 10}, {0.0f, 1.0f}})
                                       .chunk(1, 0, PskFloatTrack{7, "Size", {0, 10, 0, 10}, {1.0f, 2.0f}})
                                       .bytes();
    seeds["loader_without_filename.psk"] = PskWriter().chunk(1, 0, group("Holder", -1, "Loader=1")).bytes();
    seeds["loader_track_on_buffer.psk"] =
        PskWriter().chunk(1, 0, morph).chunk(1, 0, PskFloatTrack{0, "VISTRACK", {}, {1.0f}}).bytes();
    return seeds;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_psk_loader_seeds FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const auto& [name, bytes] : loaderSeeds()) {
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::cerr << "make_psk_loader_seeds: cannot write " << (folder / name).string() << '\n';
            return 1;
        }
    }
    return 0;
}

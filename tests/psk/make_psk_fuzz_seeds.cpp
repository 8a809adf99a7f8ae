// Writes the seed corpus of fuzz_psk_chunks into the folder given as its argument: the sample
// scene, each of its chunks alone, and a few damaged files, all made by the PSK writer.
// Regenerate with: build/default/tests/psk/make_psk_fuzz_seeds tests/fuzz/corpus/psk_chunks
#include "psk_sample_chunks.h"

#include "psk/psk_chunk_type.h"
#include "psk/psk_writer.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

void writeSeed(const std::filesystem::path& folder, const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + (folder / name).string());
}

std::string fileName(const std::string& label)
{
    std::string name;
    for (char c : label)
        name += (c == ' ' || c == ',') ? '_' : c;
    return name + ".psk";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_psk_fuzz_seeds FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const std::vector<PskSampleChunk> chunks = samplePskChunks();
    const std::vector<std::uint8_t> scene = writePskChunks(chunks);
    writeSeed(folder, "scene.psk", scene);
    for (const PskSampleChunk& chunk : chunks)
        writeSeed(folder, fileName(chunk.label), writePskChunks({chunk}));

    writeSeed(folder, "damaged_cut_in_a_payload.psk", std::vector<std::uint8_t>(scene.begin(), scene.begin() + scene.size() / 2));
    PskWriter unknown;
    unknown.chunk(1, 0, PskTexture{"a.tga"}).rawChunk(14, 1, 0, std::vector<std::uint8_t>(4, 0));
    writeSeed(folder, "damaged_unknown_chunk.psk", unknown.bytes());
    PskWriter shortString;
    shortString.rawChunk(static_cast<std::uint16_t>(PskChunkType::Texture), 1, 0, PskPayloadBuilder().u16(40).string("x").bytes());
    writeSeed(folder, "damaged_string_past_payload.psk", shortString.bytes());
    return 0;
}

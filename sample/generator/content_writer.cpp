#include "content_writer.h"

#include "artwork.h"
#include "flash_movie.h"
#include "scenes.h"
#include "script_text.h"
#include "song.h"
#include "vorbis_writer.h"

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void writeText(const fs::path& path, const std::string& text) { writeFile(path, {text.begin(), text.end()}); }

// The crystal's texture switches between four images, two rounds a bar.
std::string crystalSequence()
{
    std::string text = "images=4\n";
    for (int k = 0; k < 4; ++k) text += "i" + std::to_string(k) + "=crystal" + std::to_string(k) + ".tga\n";
    text += "animations=1\na0.field=Active Image\na0.looping=1\na0.keyframes=2\na0.kf0=0 0\na0.kf1=2000 8\n";
    return text;
}

} // namespace

void writeSampleContent(const fs::path& content, const fs::path& loose)
{
    fs::create_directories(content);
    fs::create_directories(loose);
    writeFile(content / "song.ogg", encodeOggVorbis(composeSong().toPcm16(), kSongRate, 0.5f));

    writeFile(content / "dusk.tga", encodeTga(duskSky(), false));
    writeFile(content / "night.tga", encodeTga(nightSky(), false));
    writeFile(content / "tiles.png", encodePng(floorTiles(), false));
    writeFile(content / "water.png", encodePng(waterRipples(), false));
    writeFile(content / "stone.jpg", encodeJpeg(stoneBlocks(), 88));
    writeFile(content / "spark.tga", encodeTga(sparkBlob(), true));
    writeFile(content / kCrystalTexture, encodeTga(crystalFacet(0), false));
    for (int k = 0; k < 4; ++k) writeFile(content / ("crystal" + std::to_string(k) + ".tga"), encodeTga(crystalFacet(k), false));
    writeText(content / "crystal.seq", crystalSequence());
    writeText(loose / "crystal.seq", crystalSequence());

    writeFile(content / "nebula.jpg", encodeJpeg(nebulaBackdrop(), 90));
    writeFile(content / "horizon.png", encodePng(mountainHorizon(), true));
    writeFile(content / "title.tga", encodeTga(caption("LANTERNS", 12, 0xFFB050), true));
    const Picture credits = caption("MADE IN CODE", 8, 0x60C0FF);
    writeFile(content / "credits.tga", encodeTga(credits, true));
    // Eight frames a beat: a ring bursting on every beat.
    std::string sequence = "fps=16\n";
    for (int k = 0; k < 8; ++k) {
        const std::string name = "ring" + std::to_string(k) + ".png";
        writeFile(content / name, encodePng(beatRing(k, 8), true));
        sequence += name + "\n";
    }
    writeText(content / "ring.seq", sequence);

    writeFile(content / "intro.swf", emptyFlashMovie());
    writeFile(content / "ring.psk", ringScene());
    writeFile(content / "citadel.psk", citadelScene());
    writeFile(content / "ocean.psk", oceanScene());
    for (const auto& [name, text] : sampleScripts(credits.width)) writeText(content / name, text);
}


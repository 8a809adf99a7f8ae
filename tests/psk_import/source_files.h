// Source scenes written by the tests themselves: glTF 2.0 (JSON with a separate binary
// buffer), OBJ with its MTL, and 3DS, each as small as the case needs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Accessors over one buffer; the test writes the rest of the JSON (nodes, meshes, ...).
class GltfWriter {
public:
    // Each returns the accessor's index. `type` is "SCALAR", "VEC2", "VEC3" or "VEC4".
    int floats(const std::vector<float>& values, const std::string& type);
    int shorts(const std::vector<std::uint16_t>& values);       // SCALAR indices
    int ints(const std::vector<std::uint32_t>& values);         // SCALAR indices
    int bytes(const std::vector<std::uint8_t>& values, const std::string& type); // e.g. JOINTS_0
    int view(const std::vector<std::uint8_t>& data); // a buffer view alone (an image); its index

    // Writes DIR/NAME.gltf and DIR/NAME.bin; `members` is the JSON members after "asset"
    // (without the buffer members), e.g. "\"nodes\": [...], \"meshes\": [...]".
    std::filesystem::path write(const std::filesystem::path& dir, const std::string& name,
                                const std::string& members) const;

private:
    int add(const std::vector<std::uint8_t>& data, int componentType, std::size_t count, const std::string& type,
            const std::string& extra);
    std::vector<std::uint8_t> buffer_;
    std::vector<std::string> views_;
    std::vector<std::string> accessors_;
};

// A cube of 24 vertices (flat faces) from −h to h: POSITION, NORMAL, TEXCOORD_0 accessors and
// the indices, as a glTF primitive's JSON ("{"attributes": ..., "indices": N, "material": M}").
std::string gltfCubePrimitive(GltfWriter& writer, float half, int material);

void writeTextFile(const std::filesystem::path& path, const std::string& text);
void writeBinaryFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
// A w × h PNG of one colour.
std::vector<std::uint8_t> solidPng(unsigned width, unsigned height, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                   std::uint8_t a = 255);

// 3DS chunks: an id and the bytes of its body (sub-chunks or data).
class Chunk3ds {
public:
    explicit Chunk3ds(std::uint16_t id) : id_(id) {}
    Chunk3ds& u16(std::uint16_t value);
    Chunk3ds& f32(float value);
    Chunk3ds& u8(std::uint8_t value);
    Chunk3ds& text(const std::string& value); // zero-terminated
    Chunk3ds& child(const Chunk3ds& chunk);
    std::vector<std::uint8_t> bytes() const;

private:
    std::uint16_t id_;
    std::vector<std::uint8_t> body_;
};

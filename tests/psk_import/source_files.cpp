#include "source_files.h"

#include "psk_import/png_encoding.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

template <typename T>
void append(std::vector<std::uint8_t>& out, const T& value)
{
    std::uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.insert(out.end(), bytes, bytes + sizeof(T));
}

unsigned componentsOf(const std::string& type)
{
    return type == "SCALAR" ? 1 : type == "VEC2" ? 2 : type == "VEC3" ? 3 : type == "VEC4" ? 4 : 16;
}

} // namespace

int GltfWriter::add(const std::vector<std::uint8_t>& data, int componentType, std::size_t count,
                    const std::string& type, const std::string& extra)
{
    while (buffer_.size() % 4 != 0)
        buffer_.push_back(0);
    std::ostringstream view;
    view << "{\"buffer\":0,\"byteOffset\":" << buffer_.size() << ",\"byteLength\":" << data.size() << "}";
    buffer_.insert(buffer_.end(), data.begin(), data.end());
    views_.push_back(view.str());
    std::ostringstream accessor;
    accessor << "{\"bufferView\":" << views_.size() - 1 << ",\"componentType\":" << componentType
             << ",\"count\":" << count << ",\"type\":\"" << type << "\"" << extra << "}";
    accessors_.push_back(accessor.str());
    return static_cast<int>(accessors_.size() - 1);
}

int GltfWriter::floats(const std::vector<float>& values, const std::string& type)
{
    const unsigned n = componentsOf(type);
    std::vector<std::uint8_t> data;
    for (float v : values)
        append(data, v);
    std::ostringstream extra;
    // glTF requires bounds on positions (and on animation inputs); give them everywhere.
    std::vector<float> lo(n, 1e30f), hi(n, -1e30f);
    for (std::size_t i = 0; i < values.size(); ++i) {
        lo[i % n] = std::min(lo[i % n], values[i]);
        hi[i % n] = std::max(hi[i % n], values[i]);
    }
    extra << ",\"min\":[";
    for (unsigned i = 0; i < n; ++i)
        extra << (i ? "," : "") << lo[i];
    extra << "],\"max\":[";
    for (unsigned i = 0; i < n; ++i)
        extra << (i ? "," : "") << hi[i];
    extra << "]";
    return add(data, 5126, values.size() / n, type, extra.str());
}

int GltfWriter::view(const std::vector<std::uint8_t>& data)
{
    while (buffer_.size() % 4 != 0)
        buffer_.push_back(0);
    std::ostringstream view;
    view << "{\"buffer\":0,\"byteOffset\":" << buffer_.size() << ",\"byteLength\":" << data.size() << "}";
    buffer_.insert(buffer_.end(), data.begin(), data.end());
    views_.push_back(view.str());
    return static_cast<int>(views_.size() - 1);
}

int GltfWriter::shorts(const std::vector<std::uint16_t>& values)
{
    std::vector<std::uint8_t> data;
    for (std::uint16_t v : values)
        append(data, v);
    return add(data, 5123, values.size(), "SCALAR", "");
}

int GltfWriter::ints(const std::vector<std::uint32_t>& values)
{
    std::vector<std::uint8_t> data;
    for (std::uint32_t v : values)
        append(data, v);
    return add(data, 5125, values.size(), "SCALAR", "");
}

int GltfWriter::bytes(const std::vector<std::uint8_t>& values, const std::string& type)
{
    return add(values, 5121, values.size() / componentsOf(type), type, "");
}

std::filesystem::path GltfWriter::write(const std::filesystem::path& dir, const std::string& name,
                                        const std::string& members) const
{
    std::filesystem::create_directories(dir);
    writeBinaryFile(dir / (name + ".bin"), buffer_);
    std::ostringstream json;
    json << "{\"asset\":{\"version\":\"2.0\"},\"buffers\":[{\"uri\":\"" << name << ".bin\",\"byteLength\":"
         << buffer_.size() << "}],\"bufferViews\":[";
    for (std::size_t i = 0; i < views_.size(); ++i)
        json << (i ? "," : "") << views_[i];
    json << "],\"accessors\":[";
    for (std::size_t i = 0; i < accessors_.size(); ++i)
        json << (i ? "," : "") << accessors_[i];
    json << "]," << members << "}";
    const std::filesystem::path path = dir / (name + ".gltf");
    writeTextFile(path, json.str());
    return path;
}

std::string gltfCubePrimitive(GltfWriter& writer, float h, int material)
{
    // Each face: its normal and two tangent axes; corners counter-clockwise seen from outside.
    const float faces[6][3][3] = {
        {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}}, {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
        {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
    };
    std::vector<float> positions, normals, uvs;
    std::vector<std::uint16_t> indices;
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int f = 0; f < 6; ++f) {
        const auto& [n, u, v] = faces[f];
        const auto base = static_cast<std::uint16_t>(positions.size() / 3);
        for (const auto& c : corners) {
            for (int k = 0; k < 3; ++k)
                positions.push_back(h * (n[k] + c[0] * u[k] + c[1] * v[k]));
            normals.insert(normals.end(), {n[0], n[1], n[2]});
            uvs.insert(uvs.end(), {(c[0] + 1) / 2, (1 - c[1]) / 2});
        }
        indices.insert(indices.end(), {base, static_cast<std::uint16_t>(base + 1), static_cast<std::uint16_t>(base + 2),
                                       base, static_cast<std::uint16_t>(base + 2), static_cast<std::uint16_t>(base + 3)});
    }
    std::ostringstream json;
    json << "{\"attributes\":{\"POSITION\":" << writer.floats(positions, "VEC3")
         << ",\"NORMAL\":" << writer.floats(normals, "VEC3") << ",\"TEXCOORD_0\":" << writer.floats(uvs, "VEC2")
         << "},\"indices\":" << writer.shorts(indices) << ",\"material\":" << material << "}";
    return json.str();
}

void writeTextFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

void writeBinaryFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::uint8_t> solidPng(unsigned width, unsigned height, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                   std::uint8_t a)
{
    std::vector<std::uint8_t> rgba;
    for (unsigned i = 0; i < width * height; ++i)
        rgba.insert(rgba.end(), {r, g, b, a});
    return encodeRgbaPng(rgba.data(), width, height);
}

Chunk3ds& Chunk3ds::u16(std::uint16_t value)
{
    append(body_, value);
    return *this;
}

Chunk3ds& Chunk3ds::f32(float value)
{
    append(body_, value);
    return *this;
}

Chunk3ds& Chunk3ds::u8(std::uint8_t value)
{
    body_.push_back(value);
    return *this;
}

Chunk3ds& Chunk3ds::text(const std::string& value)
{
    body_.insert(body_.end(), value.begin(), value.end());
    body_.push_back(0);
    return *this;
}

Chunk3ds& Chunk3ds::child(const Chunk3ds& chunk)
{
    const std::vector<std::uint8_t> bytes = chunk.bytes();
    body_.insert(body_.end(), bytes.begin(), bytes.end());
    return *this;
}

std::vector<std::uint8_t> Chunk3ds::bytes() const
{
    std::vector<std::uint8_t> out;
    append(out, id_);
    append(out, static_cast<std::uint32_t>(body_.size() + 6));
    out.insert(out.end(), body_.begin(), body_.end());
    return out;
}

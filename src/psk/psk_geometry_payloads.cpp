// Geometry and surface chunks: vertex and index buffers, meshes, materials, textures, sprites.
// Every count is checked against the payload before its items are allocated.
#include "psk/psk_chunk_type.h"
#include "psk/psk_payload_readers.h"

namespace {

std::uint64_t frameZeroVertexSize(std::uint32_t flags)
{
    return 12 + ((flags & kPskHasNormals) ? 12 : 0) + ((flags & kPskHasTexCoords0) ? 8 : 0) +
           ((flags & kPskHasTexCoords1) ? 8 : 0);
}

constexpr std::uint64_t kSubMeshRecordSize = 17;

} // namespace

PskVertexBuffer readPskVertexBuffer(PskCursor& cursor, std::uint16_t)
{
    PskVertexBuffer buffer;
    const std::uint64_t frameCountOffset = cursor.offset();
    buffer.frameCount = cursor.u32("frame count");
    buffer.attributeFlags = cursor.u32("attribute flags");
    buffer.unused = cursor.u16("unused word");
    const std::uint64_t vertexCountOffset = cursor.offset();
    const std::uint32_t vertexCount = cursor.u32("vertex count");
    if (cursor.failed() || vertexCount == 0)
        return buffer;
    // Without frame 0 there is no vertex data to justify the vertices the count claims.
    if (buffer.frameCount == 0) {
        cursor.fail(frameCountOffset, "a vertex buffer of " + std::to_string(vertexCount) + " vertices has no frames");
        return buffer;
    }
    const std::uint32_t flags = buffer.attributeFlags;
    if (!cursor.fits(vertexCount, frameZeroVertexSize(flags), vertexCountOffset, "vertex count"))
        return buffer;
    buffer.vertices.resize(vertexCount);
    for (PskVertex& vertex : buffer.vertices) {
        cursor.f32s(vertex.position.data(), 3, "vertex position");
        if (flags & kPskHasNormals)
            cursor.f32s(vertex.normal.data(), 3, "vertex normal");
        if (flags & kPskHasTexCoords0)
            cursor.f32s(vertex.texCoords0.data(), 2, "first texture coordinates");
        if (flags & kPskHasTexCoords1)
            cursor.f32s(vertex.texCoords1.data(), 2, "second texture coordinates");
    }
    const std::uint64_t laterFrames = buffer.frameCount - 1;
    if (!cursor.fits(laterFrames, std::uint64_t{vertexCount} * 12, frameCountOffset, "frame count"))
        return buffer;
    buffer.laterFramePositions.resize(laterFrames * vertexCount * 3);
    cursor.f32s(buffer.laterFramePositions.data(), buffer.laterFramePositions.size(), "frame position");
    return buffer;
}

PskIndexBuffer readPskIndexBuffer(PskCursor& cursor, std::uint16_t)
{
    PskIndexBuffer buffer;
    const std::uint64_t countOffset = cursor.offset();
    const std::uint32_t count = cursor.u32("index count");
    if (!cursor.fits(count, 4, countOffset, "index count"))
        return buffer;
    buffer.indices.resize(count);
    for (std::uint16_t& index : buffer.indices)
        index = static_cast<std::uint16_t>(cursor.u32("index"));
    return buffer;
}

PskMesh readPskMesh(PskCursor& cursor, std::uint16_t)
{
    PskMesh mesh;
    mesh.node = cursor.u32("node index");
    mesh.name = cursor.string("mesh name");
    mesh.vertexBuffer = cursor.u32("vertex buffer index");
    mesh.indexBuffer = cursor.u32("index buffer index");
    const std::uint64_t countOffset = cursor.offset();
    const std::uint16_t count = cursor.u16("sub-mesh count");
    if (!cursor.fits(count, kSubMeshRecordSize, countOffset, "sub-mesh count"))
        return mesh;
    mesh.subMeshes.resize(count);
    for (PskSubMesh& subMesh : mesh.subMeshes) {
        subMesh.startIndex = cursor.u32("sub-mesh start index");
        subMesh.material = cursor.u32("sub-mesh material index");
        subMesh.unused = cursor.u32("sub-mesh unused word");
        subMesh.indexCount = cursor.u32("sub-mesh index count");
        subMesh.skipped = cursor.u8("sub-mesh skipped byte");
    }
    return mesh;
}

PskMaterial readPskMaterial(PskCursor& cursor, std::uint16_t version)
{
    PskMaterial material;
    material.diffuse = readPskColour(cursor, "diffuse colour");
    material.specular = readPskColour(cursor, "specular colour");
    material.ambient = readPskColour(cursor, "ambient colour");
    material.selfIllumination = readPskColour(cursor, "self-illumination colour");
    material.glossiness = cursor.f32("glossiness");
    material.specularLevel = cursor.f32("specular level");
    material.blendMode = cursor.u8("blend mode");
    material.opacity = cursor.f32("opacity");
    material.diffuseMap = cursor.u32("diffuse map index");
    material.sphereReflectionMap = cursor.u32("sphere reflection map index");
    material.lightMap = cursor.u32("light map index");
    material.specularMap = cursor.u32("specular map index");
    if (pskMaterialHasAdditiveMap(version))
        material.additiveMap = cursor.u32("additive map index");
    return material;
}

PskTexture readPskTexture(PskCursor& cursor, std::uint16_t)
{
    return {cursor.string("texture file name")};
}

PskSprite readPskSprite(PskCursor& cursor, std::uint16_t)
{
    PskSprite sprite;
    sprite.node = cursor.u32("node index");
    sprite.texture = cursor.u32("texture index");
    sprite.size = cursor.f32("size");
    sprite.glowExclusion = cursor.u8("glow exclusion flag") != 0;
    return sprite;
}

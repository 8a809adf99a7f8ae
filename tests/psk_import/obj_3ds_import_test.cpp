// OBJ with its MTL and 3DS files written by the test: materials and textures come through,
// meshes split by material, textures copied beside the output (or into --textures) under
// unique names, and textures the player cannot read dropped with a note.
#include "import_test_support.h"
#include "source_files.h"

#include <cmath>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const PskMaterial& materialNamedBy(const PlayerView& view, const PskSubMesh& sub)
{
    return std::get<PskMaterial>(view.object(sub.material)->payload);
}

std::string textureName(const PlayerView& view, std::uint32_t index)
{
    const PskChunk* chunk = view.object(index);
    return chunk ? std::get<PskTexture>(chunk->payload).fileName : std::string();
}

fs::path writeObjScene(const fs::path& dir)
{
    fs::create_directories(dir / "maps" / "a");
    fs::create_directories(dir / "maps" / "b");
    writeBinaryFile(dir / "maps" / "a" / "wood.png", solidPng(4, 4, 200, 120, 40));
    writeBinaryFile(dir / "maps" / "b" / "wood.png", solidPng(2, 2, 10, 20, 30));
    writeTextFile(dir / "maps" / "shiny.dds", "DDS |not a picture the player reads");
    writeTextFile(dir / "scene.mtl", "newmtl Red\nKd 1 0 0\nKs 0.5 0.5 0.5\nNs 64\nd 0.5\n"
                                     "newmtl Wood\nKd 1 1 1\nmap_Kd maps/a/wood.png\nmap_Ks maps/shiny.dds\n"
                                     "newmtl Other\nKd 0 1 0\nmap_Kd maps/b/wood.png\n");
    writeTextFile(dir / "scene.obj", "mtllib scene.mtl\no Table\n"
                                     "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\n"
                                     "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                                     "usemtl Red\nf 1/1 2/2 3/3 4/4\n"
                                     "usemtl Wood\nf 1/1 2/2 6/3 5/4\n"
                                     "usemtl Other\nf 4/1 3/2 6/3\n");
    return dir / "scene.obj";
}

} // namespace

TEST(ObjImport, MaterialsTexturesAndSubMeshesComeThrough)
{
    const fs::path dir = freshFolder();
    const Imported imported = importAndRead(writeObjScene(dir / "src"), dir / "out" / "table.psk");
    const PlayerView& view = imported.view;

    const auto meshes = view.all<PskMesh>();
    ASSERT_EQ(meshes.size(), 1u);
    const PskMesh& mesh = *meshes[0];
    ASSERT_EQ(mesh.subMeshes.size(), 3u);
    // The quads became two triangles each; the triangle stays one.
    EXPECT_EQ(mesh.subMeshes[0].indexCount + mesh.subMeshes[1].indexCount + mesh.subMeshes[2].indexCount, 15u);

    std::map<std::uint32_t, const PskMaterial*> byColour;
    for (const PskSubMesh& sub : mesh.subMeshes)
        byColour[materialNamedBy(view, sub).diffuse.argb] = &materialNamedBy(view, sub);
    ASSERT_EQ(byColour.size(), 3u);
    const PskMaterial& red = *byColour.at(0xFFFF0000u);
    EXPECT_EQ(red.specular.argb, 0xFF808080u);
    EXPECT_FLOAT_EQ(red.glossiness * 32.0f, 64.0f);
    EXPECT_FLOAT_EQ(red.opacity, 0.5f);
    EXPECT_EQ(red.blendMode, 2);
    EXPECT_EQ(red.diffuseMap, 0xFFFFFFFFu);

    // Two different files both called wood.png: both copied, under different names.
    const PskMaterial& wood = *byColour.at(0xFFFFFFFFu);
    const PskMaterial& other = *byColour.at(0xFF00FF00u);
    const std::string woodName = textureName(view, wood.diffuseMap);
    const std::string otherName = textureName(view, other.diffuseMap);
    EXPECT_EQ(woodName, "wood.png");
    EXPECT_EQ(otherName, "wood-2.png");
    EXPECT_EQ(solidPng(4, 4, 200, 120, 40).size(), fs::file_size(dir / "out" / woodName));
    EXPECT_EQ(solidPng(2, 2, 10, 20, 30).size(), fs::file_size(dir / "out" / otherName));
    // The specular map is no picture the player reads: dropped, said, and not copied.
    EXPECT_EQ(wood.specularMap, 0xFFFFFFFFu);
    EXPECT_TRUE(hasNote(imported.summary, "shiny.dds")) << imported.summary.notes.size();
    EXPECT_FALSE(fs::exists(dir / "out" / "shiny.dds"));
    EXPECT_EQ(imported.summary.textures, 2u);

    // Texture rows are counted from the top in the player: v = 0 in the file is v = 1 here.
    const auto buffers = view.all<PskVertexBuffer>();
    ASSERT_EQ(buffers.size(), 1u);
    EXPECT_NE(buffers[0]->attributeFlags & kPskHasTexCoords0, 0u);
    bool found = false;
    for (const PskVertex& v : buffers[0]->vertices)
        found |= v.position == PskVec3{1, 1, 0} && v.texCoords0 == PskVec2{1, 0};
    EXPECT_TRUE(found);
}

TEST(ObjImport, TexturesGoWhereTheOptionSaysAndAreNamedFromTheOutput)
{
    const fs::path dir = freshFolder();
    PskImportOptions options;
    options.texturesDir = dir / "out" / "tex";
    const Imported imported = importAndRead(writeObjScene(dir / "src"), dir / "out" / "table.psk", options);
    std::set<std::string> names;
    for (const PskTexture* texture : imported.view.all<PskTexture>())
        names.insert(texture->fileName);
    EXPECT_EQ(names, (std::set<std::string>{"tex/wood.png", "tex/wood-2.png"}));
    EXPECT_TRUE(fs::exists(dir / "out" / "tex" / "wood-2.png"));
}

TEST(ObjImport, FacesAreWoundForThePlayerAndItsNormalsPointOut)
{
    // A closed box: with the player's right-handed cross product over its winding, every
    // face normal must point away from the centre, as the source's own normals do.
    const fs::path dir = freshFolder();
    writeTextFile(dir / "box.obj", "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
                                   "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 4 8 7 3\nf 1 5 8 4\nf 2 3 7 6\n");
    const Imported imported = importAndRead(dir / "box.obj", dir / "box.psk");
    const auto buffers = imported.view.all<PskVertexBuffer>();
    const auto indices = imported.view.all<PskIndexBuffer>();
    ASSERT_EQ(buffers.size(), 1u);
    ASSERT_EQ(indices[0]->indices.size(), 36u);
    const auto& v = buffers[0]->vertices;
    const auto& idx = indices[0]->indices;
    for (std::size_t i = 0; i < idx.size(); i += 3) {
        const PskVec3 a = v[idx[i]].position, b = v[idx[i + 1]].position, c = v[idx[i + 2]].position;
        const float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        const float centroid[3] = {a[0] + b[0] + c[0], a[1] + b[1] + c[1], a[2] + b[2] + c[2]};
        EXPECT_GT(n[0] * centroid[0] + n[1] * centroid[1] + n[2] * centroid[2], 0.0f) << "triangle " << i / 3;
    }
}

TEST(ThreeDsImport, MeshMaterialAndTextureComeThrough)
{
    const fs::path dir = freshFolder();
    writeBinaryFile(dir / "crate.png", solidPng(8, 8, 90, 60, 30));
    Chunk3ds vertices(0x4110);
    vertices.u16(4);
    for (float p : {0.f, 0.f, 0.f, 2.f, 0.f, 0.f, 2.f, 2.f, 0.f, 0.f, 2.f, 0.f})
        vertices.f32(p);
    Chunk3ds uvs(0x4140);
    uvs.u16(4);
    for (float t : {0.f, 0.f, 1.f, 0.f, 1.f, 1.f, 0.f, 1.f})
        uvs.f32(t);
    Chunk3ds faceMaterial(0x4130);
    faceMaterial.text("Crate").u16(2).u16(0).u16(1);
    Chunk3ds faces(0x4120);
    faces.u16(2).u16(0).u16(1).u16(2).u16(7).u16(0).u16(2).u16(3).u16(7).child(faceMaterial);
    Chunk3ds mesh(0x4100);
    mesh.child(vertices).child(uvs).child(faces);
    Chunk3ds object(0x4000);
    object.text("Box").child(mesh);
    Chunk3ds diffuse(0xA020);
    diffuse.child(Chunk3ds(0x0011).u8(255).u8(128).u8(0));
    Chunk3ds map(0xA200);
    map.child(Chunk3ds(0xA300).text("crate.png"));
    Chunk3ds material(0xAFFF);
    material.child(Chunk3ds(0xA000).text("Crate")).child(diffuse).child(map);
    Chunk3ds editor(0x3D3D);
    editor.child(material).child(object);
    Chunk3ds main(0x4D4D);
    main.child(Chunk3ds(0x0002).u16(3).u16(0)).child(editor);
    writeBinaryFile(dir / "box.3ds", main.bytes());

    const Imported imported = importAndRead(dir / "box.3ds", dir / "out" / "box.psk");
    const PlayerView& view = imported.view;
    ASSERT_EQ(view.all<PskMesh>().size(), 1u);
    const PskMesh& psk = *view.all<PskMesh>()[0];
    ASSERT_EQ(psk.subMeshes.size(), 1u);
    EXPECT_EQ(psk.subMeshes[0].indexCount, 6u);
    const PskMaterial& crate = materialNamedBy(view, psk.subMeshes[0]);
    EXPECT_EQ(crate.diffuse.argb & 0x00FFFFFFu, 0xFF8000u);
    EXPECT_EQ(textureName(view, crate.diffuseMap), "crate.png");
    EXPECT_TRUE(fs::exists(dir / "out" / "crate.png"));
}

TEST(ThreeDsImport, CameraLooksAtItsTargetUprightInTheZUpWorld)
{
    // A 3DS camera at (13, −10, 2) aimed at (3, 0, 2), field of view 40° across: its target is
    // the screen's centre, and a point 1 above it lies straight above on the screen (the
    // camera is not rolled), higher by what the lens gives over the distance of √200.
    const fs::path dir = freshFolder();
    Chunk3ds vertices(0x4110);
    vertices.u16(3);
    for (float p : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f})
        vertices.f32(p);
    Chunk3ds faces(0x4120);
    faces.u16(1).u16(0).u16(1).u16(2).u16(7);
    Chunk3ds mesh(0x4100);
    mesh.child(vertices).child(faces);
    Chunk3ds box(0x4000);
    box.text("Tri").child(mesh);
    Chunk3ds lens(0x4700);
    for (float v : {13.f, -10.f, 2.f, 3.f, 0.f, 2.f, 0.f, 40.f})
        lens.f32(v);
    Chunk3ds camera(0x4000);
    camera.text("Cam").child(lens);
    Chunk3ds editor(0x3D3D);
    editor.child(box).child(camera);
    Chunk3ds main(0x4D4D);
    main.child(editor);
    writeBinaryFile(dir / "cam.3ds", main.bytes());

    const Imported imported = importAndRead(dir / "cam.3ds", dir / "cam.psk");
    const PlayerView& view = imported.view;
    const std::uint32_t root = view.nodeIndex("cam").value();
    // 3DS world points in the player's axes: Assimp turns the Z-up world Y-up at its root
    // ((x, y, z) becomes (x, z, −y)), the import swaps Y and Z, so only Y changes sign.
    auto screen = [&](float x, float y, float z) { return view.project("Cam", root, D3DXVECTOR3(x, -y, z), 0.0f); };
    const double f = 1.0 / (std::tan(20.0 * 3.14159265358979 / 180.0) / 1.33333);
    const ScreenPoint centre = screen(3, 0, 2), above = screen(3, 0, 3);
    EXPECT_NEAR(centre.x, 400.0f, 0.05f);
    EXPECT_NEAR(centre.y, 300.0f, 0.05f);
    EXPECT_NEAR(above.x, 400.0f, 0.05f);
    EXPECT_NEAR(above.y, 300.0 - 300.0 * f / std::sqrt(200.0), 0.05);
}

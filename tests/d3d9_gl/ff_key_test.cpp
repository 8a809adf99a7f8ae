// The fixed-function key and its programs: the key keeps only what shapes the pipeline and
// folds equivalent states together; the cascade ends where Direct3D ends it; every operation,
// argument, generator and point mode yields a program the OpenGL compiler accepts.
#include "gl_test_support.h"

#include "platform/d3d9/gl/ff_glsl.h"
#include "platform/d3d9/core/ff_key.h"
#include "platform/d3d9/gl/ff_program_cache.h"

using d3dgl::buildFfKey;
using d3dgl::FfBoundTextures;
using d3dgl::FfKey;

namespace {

d3dgl::DeviceState defaultState(DWORD fvf)
{
    d3dgl::DeviceState state;
    state.reset(640, 480, true);
    state.fvf = fvf;
    return state;
}

} // namespace

TEST(FfKey, ValuesThatOnlyFeedUniformsLeaveTheKeyAlone)
{
    d3dgl::DeviceState state = defaultState(D3DFVF_XYZ | D3DFVF_NORMAL);
    const FfBoundTextures none{};
    const FfKey before = buildFfKey(state, none, false);
    state.renderStates[D3DRS_TEXTUREFACTOR] = 0x12345678;
    state.renderStates[D3DRS_AMBIENT] = 0xFF00FF00;
    state.renderStates[D3DRS_ALPHAREF] = 0x40;
    state.renderStates[D3DRS_ALPHABLENDENABLE] = TRUE;
    state.material.Power = 12;
    state.world._41 = 5;
    state.textureMatrices[0]._31 = 0.5f;
    EXPECT_TRUE(buildFfKey(state, none, false) == before);
}

TEST(FfKey, UnreadArgumentsAndUnsampledCoordinatesAreZeroed)
{
    d3dgl::DeviceState a = defaultState(D3DFVF_XYZ | D3DFVF_TEX1);
    d3dgl::DeviceState b = a;
    // SELECTARG1 reads only ARG1: ARG2, ARG0 and the coordinate set of a texture-less stage do not matter.
    for (d3dgl::DeviceState* s : {&a, &b}) {
        s->stageStates[0][D3DTSS_COLOROP] = D3DTOP_SELECTARG1;
        s->stageStates[0][D3DTSS_COLORARG1] = D3DTA_TFACTOR;
        s->stageStates[0][D3DTSS_ALPHAOP] = D3DTOP_SELECTARG1;
        s->stageStates[0][D3DTSS_ALPHAARG1] = D3DTA_TFACTOR;
    }
    b.stageStates[0][D3DTSS_COLORARG2] = D3DTA_SPECULAR;
    b.stageStates[0][D3DTSS_COLORARG0] = D3DTA_TEMP;
    b.stageStates[0][D3DTSS_TEXCOORDINDEX] = 3 | D3DTSS_TCI_SPHEREMAP;
    b.stageStates[0][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT2;
    // Stages after the first disabled one are not part of the shape either.
    b.stageStates[2][D3DTSS_COLOROP] = D3DTOP_ADD;
    const FfBoundTextures bound{true};
    EXPECT_TRUE(buildFfKey(a, bound, false) == buildFfKey(b, bound, false));
}

TEST(FfKey, MissingTextureEndsTheCascadeOnlyWhenTheColourOperationReadsIt)
{
    d3dgl::DeviceState state = defaultState(D3DFVF_XYZ | D3DFVF_TEX1);
    state.stageStates[1][D3DTSS_COLOROP] = D3DTOP_MODULATE;
    state.stageStates[2][D3DTSS_COLOROP] = D3DTOP_ADD;
    state.stageStates[2][D3DTSS_COLORARG1] = D3DTA_TFACTOR;

    FfBoundTextures bound{};
    bound[0] = true;
    FfKey key = buildFfKey(state, bound, false);
    EXPECT_EQ(key.stages[0].colorOp, D3DTOP_MODULATE);
    EXPECT_EQ(key.stages[0].sampled, 1);
    EXPECT_EQ(key.stages[1].colorOp, 0) << "stage 1 reads a texture it does not have";
    EXPECT_EQ(key.stages[2].colorOp, 0) << "and every later stage goes with it";

    bound = {};
    key = buildFfKey(state, bound, false);
    EXPECT_EQ(key.stages[0].colorOp, 0) << "stage 0 without its texture passes the diffuse colour";

    // The alpha operation alone reading a missing texture keeps the stage, unsampled.
    state.stageStates[0][D3DTSS_COLOROP] = D3DTOP_SELECTARG1;
    state.stageStates[0][D3DTSS_COLORARG1] = D3DTA_TFACTOR;
    key = buildFfKey(state, bound, false);
    EXPECT_EQ(key.stages[0].colorOp, D3DTOP_SELECTARG1);
    EXPECT_EQ(key.stages[0].sampled, 0);
}

TEST(FfKey, MaterialSourcesFallBackWithoutVertexColours)
{
    d3dgl::DeviceState state = defaultState(D3DFVF_XYZ | D3DFVF_NORMAL);
    const FfBoundTextures none{};
    FfKey key = buildFfKey(state, none, false);
    EXPECT_EQ(key.diffuseSource, D3DMCS_MATERIAL) << "COLOR1 without a diffuse colour";
    EXPECT_EQ(key.specularSource, D3DMCS_MATERIAL) << "COLOR2 without a specular colour";
    state.fvf |= D3DFVF_DIFFUSE;
    key = buildFfKey(state, none, false);
    EXPECT_EQ(key.diffuseSource, D3DMCS_COLOR1);
    state.renderStates[D3DRS_COLORVERTEX] = FALSE;
    key = buildFfKey(state, none, false);
    EXPECT_EQ(key.diffuseSource, D3DMCS_MATERIAL) << "COLORVERTEX off";
    state.renderStates[D3DRS_LIGHTING] = FALSE;
    key = buildFfKey(state, none, false);
    EXPECT_EQ(key.lighting, 0);
    EXPECT_EQ(key.lightCount(), 0);
}

TEST(FfKey, EnabledLightsInIndexOrderUpToEight)
{
    d3dgl::DeviceState state = defaultState(D3DFVF_XYZ | D3DFVF_NORMAL);
    state.lights.resize(12);
    for (DWORD i = 0; i < 12; ++i) {
        state.lights[i].light.Type = i % 2 ? D3DLIGHT_POINT : D3DLIGHT_SPOT;
        state.lights[i].enabled = i != 1;
    }
    const FfKey key = buildFfKey(state, FfBoundTextures{}, false);
    EXPECT_EQ(key.lightCount(), 8);
    EXPECT_EQ(key.lightTypes[0], D3DLIGHT_SPOT);
    EXPECT_EQ(key.lightTypes[1], D3DLIGHT_SPOT) << "light 1 is disabled, light 2 comes next";
    EXPECT_EQ(key.lightTypes[2], D3DLIGHT_POINT);
}

TEST(FfKey, SpritesReplaceEveryCoordinate)
{
    d3dgl::DeviceState state = defaultState(D3DFVF_XYZ | D3DFVF_TEX1);
    state.renderStates[D3DRS_POINTSPRITEENABLE] = TRUE;
    state.stageStates[0][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT2;
    const FfBoundTextures bound{true};
    const FfKey triangles = buildFfKey(state, bound, false);
    const FfKey points = buildFfKey(state, bound, true);
    EXPECT_EQ(triangles.pointSprite, 0) << "sprites only matter for point lists";
    EXPECT_EQ(triangles.stages[0].transformCount, 2);
    EXPECT_EQ(points.pointSprite, 1);
    EXPECT_EQ(points.stages[0].transformCount, 0);
    EXPECT_TRUE(points.usesGeometryStage());
}

// Every shape the key can take must compile and link: operations × modifiers, generators,
// transforms, lights, alpha functions, points and sprites.
using FfPrograms = GlDeviceTest;

TEST_F(FfPrograms, EveryShapeBuilds)
{
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);  // makes the context current
    d3dgl::FfProgramCache cache;
    std::vector<FfKey> keys;
    const D3DTEXTUREOP ops[] = {D3DTOP_SELECTARG1, D3DTOP_SELECTARG2, D3DTOP_MODULATE, D3DTOP_MODULATE2X, D3DTOP_MODULATE4X,
                                D3DTOP_ADD, D3DTOP_ADDSIGNED, D3DTOP_ADDSIGNED2X, D3DTOP_SUBTRACT, D3DTOP_ADDSMOOTH,
                                D3DTOP_DOTPRODUCT3, D3DTOP_MULTIPLYADD, D3DTOP_LERP};
    const DWORD args[] = {D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTA_SPECULAR, D3DTA_TEMP,
                          D3DTA_CONSTANT, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE};
    const DWORD generators[] = {0, D3DTSS_TCI_CAMERASPACENORMAL, D3DTSS_TCI_CAMERASPACEPOSITION,
                                D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR, D3DTSS_TCI_SPHEREMAP};
    FfBoundTextures bound;
    bound.fill(true);
    for (std::size_t i = 0; i < std::size(ops); ++i) {
        d3dgl::DeviceState state = defaultState(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2);
        state.stageStates[0][D3DTSS_COLOROP] = ops[i];
        state.stageStates[0][D3DTSS_ALPHAOP] = ops[(i + 3) % std::size(ops)];
        for (D3DTEXTURESTAGESTATETYPE arg : {D3DTSS_COLORARG0, D3DTSS_COLORARG1, D3DTSS_COLORARG2, D3DTSS_ALPHAARG0,
                                             D3DTSS_ALPHAARG1, D3DTSS_ALPHAARG2})
            state.stageStates[0][arg] = args[(i + arg) % std::size(args)];
        state.stageStates[1][D3DTSS_COLOROP] = D3DTOP_MODULATE;
        state.stageStates[1][D3DTSS_TEXCOORDINDEX] = (i % 2) | generators[i % std::size(generators)];
        state.stageStates[1][D3DTSS_TEXTURETRANSFORMFLAGS] = (i % 4 + 1) | (i % 3 == 0 ? DWORD{D3DTTFF_PROJECTED} : DWORD{0});
        state.stageStates[1][D3DTSS_RESULTARG] = i % 2 ? D3DTA_TEMP : D3DTA_CURRENT;
        state.renderStates[D3DRS_SPECULARENABLE] = i % 2;
        state.renderStates[D3DRS_LOCALVIEWER] = i % 3 != 0;
        state.renderStates[D3DRS_NORMALIZENORMALS] = i % 2;
        state.renderStates[D3DRS_SHADEMODE] = i % 2 ? D3DSHADE_FLAT : D3DSHADE_GOURAUD;
        state.renderStates[D3DRS_ALPHATESTENABLE] = TRUE;
        state.renderStates[D3DRS_ALPHAFUNC] = D3DCMP_NEVER + static_cast<DWORD>(i % 8);
        state.renderStates[D3DRS_POINTSPRITEENABLE] = i % 2;
        state.renderStates[D3DRS_POINTSCALEENABLE] = i % 3 == 1;
        state.lights.resize(3);
        for (DWORD light = 0; light < 3; ++light) {
            state.lights[light].light.Type = static_cast<D3DLIGHTTYPE>(1 + (i + light) % 3);
            state.lights[light].enabled = true;
        }
        keys.push_back(buildFfKey(state, bound, i % 4 == 3));
    }
    // Pre-transformed vertices, with and without points.
    for (bool points : {false, true}) {
        d3dgl::DeviceState state = defaultState(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_PSIZE | D3DFVF_TEX1);
        keys.push_back(buildFfKey(state, bound, points));
    }
    for (const FfKey& key : keys) EXPECT_NE(cache.program(key).name, 0u);
    EXPECT_EQ(cache.size(), keys.size());
}

// The scene-level frame on the OpenGL device, checked at five pixels against Direct3D 9's
// lighting equation worked out here by hand: per-vertex lighting at the quad's corners,
// Gouraud interpolation to the pixel centre, the diffuse map modulated, the highlight added.
#include "platform/d3d9/direct3d.h"
#include "platform/d3d9/trace/back_buffer_capture.h"
#include "platform/d3d9/trace/trace_render.h"
#include "reference/lit_quad_scene.h"
#include "reference/present_hook_device.h"
#include "support/gpu_required.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using namespace litquad;

struct Vec {
    double x, y, z;
    Vec operator-(const Vec& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec operator+(const Vec& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec operator*(double s) const { return {x * s, y * s, z * s}; }
    double length() const { return std::sqrt(x * x + y * y + z * z); }
    Vec unit() const { return *this * (1.0 / length()); }
};

double sat(double v) { return std::clamp(v, 0.0, 1.0); }

struct Lit {
    Vec diffuse;
    Vec specular;
};

// Direct3D 9's vertex lighting for one point light, normal (0, 1, 0), in world space (the
// view is rigid, so distances and angles are the camera-space ones). LOCALVIEWER is on.
Lit lightVertex(const Vec& p)
{
    const Vec light{kLightPosition[0], kLightPosition[1], kLightPosition[2]};
    const Vec eye{0, kEyeHeight, 0};
    const Vec toLight = light - p;
    const double d = toLight.length();
    const double atten = 1.0 / (kAttenuation[0] + kAttenuation[1] * d + kAttenuation[2] * d * d);
    const Vec l = toLight.unit();
    const double nDotL = l.y;
    const Vec h = (l + (eye - p).unit()).unit();
    const double nDotH = h.y;
    const double power = kGlossiness * 32.0;
    const double glow = kSelfIllumination;
    const double ambient = (kSceneAmbient & 0xFF) / 255.0;
    const double diffuseScale = std::max(nDotL, 0.0) * atten * kLightIntensity;
    const double specularScale =
        (nDotL > 0 && nDotH > 0) ? std::pow(nDotH, power) * atten * kLightIntensity * kSpecularLevel : 0.0;
    Lit lit;
    // Material diffuse is white under a diffuse map.
    lit.diffuse = {sat(glow + kMaterialAmbient[0] * ambient + kLightColour[0] * diffuseScale),
                   sat(glow + kMaterialAmbient[1] * ambient + kLightColour[1] * diffuseScale),
                   sat(glow + kMaterialAmbient[2] * ambient + kLightColour[2] * diffuseScale)};
    lit.specular = {sat(kSpecularColour[0] * kLightColour[0] * specularScale),
                    sat(kSpecularColour[1] * kLightColour[1] * specularScale),
                    sat(kSpecularColour[2] * kLightColour[2] * specularScale)};
    return lit;
}

struct Expected {
    int red, green, blue;
    bool pureTexel; // the pixel samples inside one block, where bilinear filtering is flat
};

// The pixel centre is unprojected onto the quad (the quad faces the camera squarely at depth
// kEyeHeight, so screen and quad coordinates are linearly related), split into the barycentric
// weights of its triangle, and the four corners' lit colours are blended with them.
Expected expectedAt(unsigned px, unsigned py)
{
    const double p22 = 1.0 / std::tan(kFieldOfView / 2.0);
    const double p11 = p22 / static_cast<double>(1.33333f);
    const double ndcX = (px + 0.5) / (kWidth / 2.0) - 1.0;
    const double ndcY = 1.0 - (py + 0.5) / (kHeight / 2.0);
    const double x = ndcX * kEyeHeight / p11;
    const double z = ndcY * kEyeHeight / p22;
    const double s = (x + kHalf) / (2 * kHalf);
    const double t = (z + kHalf) / (2 * kHalf);

    const double h = kHalf;
    const Lit a = lightVertex({-h, 0, -h}), b = lightVertex({-h, 0, h}), c = lightVertex({h, 0, -h}),
              d = lightVertex({h, 0, h});
    // Triangle (a, b, c) below the diagonal x + z = 0, (b, d, c) above it.
    auto blend = [&](auto member) {
        if (x + z <= 0) return a.*member * (1 - s - t) + c.*member * s + b.*member * t;
        return d.*member * (s + t - 1) + b.*member * (1 - s) + c.*member * (1 - t);
    };
    const Vec diffuse = blend(&Lit::diffuse);
    const Vec specular = blend(&Lit::specular);

    const double u = s, v = 1 - t;
    const D3DCOLOR texel = kBlocks[(v < 0.5 ? 0 : 2) + (u < 0.5 ? 0 : 1)];
    auto channel = [](D3DCOLOR colour, int shift) { return ((colour >> shift) & 0xFF) / 255.0; };
    auto inBlock = [](double w) {
        const double f = w < 0.5 ? w : w - 0.5;
        return f > 0.125 + 0.01 && f < 0.375 - 0.01; // between two texel centres of one block
    };
    auto out = [](double value) { return static_cast<int>(std::lround(sat(value) * 255.0)); };
    return {out(channel(texel, 16) * diffuse.x + specular.x), out(channel(texel, 8) * diffuse.y + specular.y),
            out(channel(texel, 0) * diffuse.z + specular.z), inBlock(u) && inBlock(v)};
}

TEST(LitQuadScene, FivePixelsMatchTheLightingEquation)
{
    setenv("EGL_PLATFORM", "surfaceless", 0);
    IDirect3D9* d3d = createHeadlessDirect3D9();
    if (!d3d) DEMO_SKIP_WITHOUT_GPU("no headless OpenGL device on this machine");
    TraceHeader header{kWidth, kHeight, static_cast<std::uint32_t>(D3DFMT_X8R8G8B8), D3DFMT_D24S8};
    D3DPRESENT_PARAMETERS pp = presentParametersForTrace(header, kWidth, kHeight);
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                                &device),
              D3D_OK);
    CapturedImage image;
    std::string error;
    {
        PresentHookDevice hooked(device, [&](IDirect3DDevice9* inner) { captureBackBuffer(inner, image, error); });
        draw(&hooked);
    }
    device->Release();
    d3d->Release();
    ASSERT_EQ(image.rgba.size(), std::size_t{kWidth} * kHeight * 4) << error;

    // One pixel in each texture block, both triangles, and one (160, 75) next to the light,
    // where the specular term is largest.
    const struct {
        unsigned x, y;
    } pixels[] = {{100, 70}, {150, 65}, {105, 125}, {155, 120}, {160, 75}};
    for (const auto& p : pixels) {
        SCOPED_TRACE(testing::Message() << "pixel (" << p.x << ", " << p.y << ")");
        const Expected want = expectedAt(p.x, p.y);
        ASSERT_TRUE(want.pureTexel) << "choose a pixel inside one texel block";
        const std::uint8_t* got = &image.rgba[(std::size_t{p.y} * kWidth + p.x) * 4];
        EXPECT_NEAR(got[0], want.red, 2);
        EXPECT_NEAR(got[1], want.green, 2);
        EXPECT_NEAR(got[2], want.blue, 2);
    }
}

} // namespace

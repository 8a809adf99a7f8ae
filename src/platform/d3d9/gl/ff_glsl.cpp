// GLSL generation for the fixed-function pipeline (see ff_glsl.h). The formulas are Direct3D
// 9's: row-vector transforms uploaded unchanged, per-vertex lighting in camera space, the
// stage cascade with clamping after every stage.
#include "platform/d3d9/gl/ff_glsl.h"

#include <sstream>

namespace d3dgl {

namespace {

// The per-draw values arrive as three arrays of vec4 whose layout is the C++ structs of
// ff_constants.h; the names below give them meaning.
const char* kUniformBlocks = R"(
uniform vec4 ffDraw[22];
uniform vec4 ffLights[56];
uniform vec4 ffTextures[32];
#define worldView mat4(ffDraw[0], ffDraw[1], ffDraw[2], ffDraw[3])
#define projection mat4(ffDraw[4], ffDraw[5], ffDraw[6], ffDraw[7])
#define normalMatrix mat4(ffDraw[8], ffDraw[9], ffDraw[10], ffDraw[11])
#define materialDiffuse ffDraw[12]
#define materialAmbient ffDraw[13]
#define materialSpecular ffDraw[14]
#define materialEmissive ffDraw[15]
#define globalAmbient ffDraw[16]
#define textureFactor ffDraw[17]
#define viewport ffDraw[18]
#define misc ffDraw[19]
#define pointSize ffDraw[20]
#define pointScale ffDraw[21]
#define textureMatrix(i) mat4(ffTextures[4 * i], ffTextures[4 * i + 1], ffTextures[4 * i + 2], ffTextures[4 * i + 3])
struct FfLight {
    vec4 diffuse;
    vec4 specular;
    vec4 ambient;
    vec4 position;
    vec4 direction;
    vec4 attenuation;
    vec4 spot;
};
FfLight lightAt(int i)
{
    int b = 7 * i;
    return FfLight(ffLights[b], ffLights[b + 1], ffLights[b + 2], ffLights[b + 3], ffLights[b + 4], ffLights[b + 5],
                   ffLights[b + 6]);
}
)";

// Rows flip on the way to the framebuffer: its row 0 must hold Direct3D's top row. The flip is
// done here (rather than by the clip-control origin) so that OpenGL's rule for edges running
// exactly through pixel centres, which favours its own top (high y) edges, lands on Direct3D's
// top edges; with the exact half-pixel shift of the vertex stage this matches Direct3D 9 to the
// pixel.
const char* kFramebufferMapping =
    "vec4 toFramebuffer(vec4 clip) { return vec4(clip.x, -clip.y, clip.z, clip.w); }\n";

std::string materialSource(std::uint8_t source, const char* material)
{
    if (source == D3DMCS_COLOR1) return "inDiffuse";
    if (source == D3DMCS_COLOR2) return "inSpecular";
    return material;
}

// Varying names: the vertex stage writes "vs*", the geometry stage (points) reads those and
// writes "fs*", the fragment stage reads "fs*".
std::string colorQualifier(const FfKey& key) { return key.flatShading ? "flat " : ""; }

void declareVaryings(std::ostringstream& out, const FfKey& key, const char* direction, const char* prefix,
                     bool array)
{
    const std::string suffix = array ? "[]" : "";
    out << colorQualifier(key) << direction << " vec4 " << prefix << "Diffuse" << suffix << ";\n";
    out << colorQualifier(key) << direction << " vec4 " << prefix << "Specular" << suffix << ";\n";
    for (int i = 0; i < static_cast<int>(D3D_MAX_STAGES); ++i)
        if (key.stages[i].sampled) out << direction << " vec4 " << prefix << "Tex" << i << suffix << ";\n";
}

void emitLighting(std::ostringstream& out, const FfKey& key)
{
    out << "    vec4 Cd = " << materialSource(key.diffuseSource, "materialDiffuse") << ";\n";
    out << "    vec4 Ca = " << materialSource(key.ambientSource, "materialAmbient") << ";\n";
    out << "    vec4 Cs = " << materialSource(key.specularSource, "materialSpecular") << ";\n";
    out << "    vec4 Ce = " << materialSource(key.emissiveSource, "materialEmissive") << ";\n";
    out << "    vec3 dsum = vec3(0.0), asum = vec3(0.0), ssum = vec3(0.0);\n";
    if (key.localViewer)
        out << "    vec3 E = -normalize(P.xyz);\n";
    else
        out << "    vec3 E = vec3(0.0, 0.0, -1.0);\n";
    const int count = key.lightCount();
    for (int i = 0; i < count; ++i) {
        const int type = key.lightTypes[i];
        out << "    {\n";
        out << "        FfLight l = lightAt(" << i << ");\n";
        if (type == D3DLIGHT_DIRECTIONAL) {
            out << "        vec3 L = -l.direction.xyz;\n";
            out << "        float factor = 1.0;\n";
        } else {
            out << "        vec3 V = l.position.xyz - P.xyz;\n";
            out << "        float d = length(V);\n";
            // Beyond the range the light contributes nothing at all, not even ambient.
            out << "        float factor = 0.0;\n";
            out << "        vec3 L = d > 0.0 ? V / d : vec3(0.0, 0.0, -1.0);\n";
            out << "        if (d <= l.position.w) {\n";
            out << "            float denominator = l.attenuation.x + l.attenuation.y * d + l.attenuation.z * d * d;\n";
            out << "            factor = 1.0 / max(denominator, 1e-20);\n";
            if (type == D3DLIGHT_SPOT) {
                out << "            float rho = dot(-L, l.direction.xyz);\n";
                out << "            float spot = 0.0;\n";
                out << "            if (rho > l.spot.x) spot = 1.0;\n";
                out << "            else if (rho > l.spot.y) {\n";
                out << "                float t = (rho - l.spot.y) / (l.spot.x - l.spot.y);\n";
                out << "                spot = l.direction.w == 1.0 ? t : pow(t, l.direction.w);\n";
                out << "            }\n";
                out << "            factor *= spot;\n";
            }
            out << "        }\n";
        }
        out << "        asum += l.ambient.rgb * factor;\n";
        if (key.hasNormal) {
            out << "        float NdotL = dot(N, L);\n";
            out << "        dsum += l.diffuse.rgb * max(NdotL, 0.0) * factor;\n";
            if (key.specularEnable) {
                out << "        if (NdotL > 0.0) {\n";
                out << "            float NdotH = dot(N, normalize(L + E));\n";
                out << "            if (NdotH > 0.0) ssum += l.specular.rgb * pow(NdotH, misc.x) * factor;\n";
                out << "        }\n";
            }
        }
        out << "    }\n";
    }
    out << "    vsDiffuse = vec4(clamp(Ce.rgb + Ca.rgb * (globalAmbient.rgb + asum) + Cd.rgb * dsum, 0.0, 1.0),"
           " clamp(Cd.a, 0.0, 1.0));\n";
    if (key.specularEnable)
        out << "    vsSpecular = vec4(clamp(Cs.rgb * ssum, 0.0, 1.0), 0.0);\n";
    else
        // With highlights off the stages see the vertex's own specular colour (or black).
        out << "    vsSpecular = " << (key.hasSpecular ? "inSpecular" : "vec4(0.0)") << ";\n";
}

void emitTexCoord(std::ostringstream& out, const FfKey& key, int stageIndex)
{
    const FfStageKey& stage = key.stages[stageIndex];
    out << "    {\n";
    out << "        vec4 c;\n";
    switch (stage.coordGenerator) {
    case D3DTSS_TCI_CAMERASPACENORMAL >> 16:
        out << "        c = vec4(N, 1.0);\n";
        break;
    case D3DTSS_TCI_CAMERASPACEPOSITION >> 16:
        out << "        c = vec4(P.xyz, 1.0);\n";
        break;
    case D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR >> 16:
        out << "        vec3 e = " << (key.localViewer ? "normalize(P.xyz)" : "vec3(0.0, 0.0, 1.0)") << ";\n";
        out << "        c = vec4(e - 2.0 * dot(N, e) * N, 1.0);\n";
        break;
    case D3DTSS_TCI_SPHEREMAP >> 16:
        out << "        vec3 e = normalize(P.xyz);\n";
        out << "        vec3 R = e - 2.0 * dot(N, e) * N;\n";
        out << "        float m = 2.0 * sqrt(R.x * R.x + R.y * R.y + (R.z + 1.0) * (R.z + 1.0));\n";
        out << "        m = max(m, 1e-20);\n";
        out << "        c = vec4(R.x / m + 0.5, R.y / m + 0.5, 0.0, 1.0);\n";
        break;
    default:
        // A two-float set enters the transform as (u, v, 1, 0); a missing set reads as zero.
        if (stage.coordSet < key.texCoordCount)
            out << "        c = vec4(inTex" << int(stage.coordSet) << ", 1.0, 0.0);\n";
        else
            out << "        c = vec4(0.0);\n";
        break;
    }
    if (stage.transformCount) {
        out << "        c = textureMatrix(" << stageIndex << ") * c;\n";
        if (stage.projected) {
            static constexpr char kComponents[] = "xyzw";
            out << "        c.xy /= c." << kComponents[stage.transformCount - 1] << ";\n";
        }
    }
    out << "        vsTex" << stageIndex << " = c;\n";
    out << "    }\n";
}

std::string vertexShader(const FfKey& key)
{
    std::ostringstream out;
    out << "#version 450 core\n" << kUniformBlocks << kFramebufferMapping;
    out << "layout(location = 0) in vec4 inPosition;\n";
    if (key.hasNormal) out << "layout(location = 1) in vec3 inNormal;\n";
    if (key.hasPointSize) out << "layout(location = 2) in float inPointSize;\n";
    if (key.hasDiffuse) out << "layout(location = 3) in vec4 inDiffuse;\n";
    if (key.hasSpecular) out << "layout(location = 4) in vec4 inSpecular;\n";
    for (int i = 0; i < key.texCoordCount; ++i)
        out << "layout(location = " << (kAttribTexCoord0 + i) << ") in vec2 inTex" << i << ";\n";
    declareVaryings(out, key, "out", "vs", false);
    if (key.points) out << "out float vsPointSize;\n";

    out << "void main() {\n";
    if (key.pretransformed) {
        // Screen-space vertices: x, y in pixels, z the depth, w = 1 / clip w.
        out << "    float w = inPosition.w != 0.0 ? 1.0 / inPosition.w : 1.0;\n";
        out << "    vec2 ndc = vec2((inPosition.x - viewport.x) / viewport.z * 2.0 - 1.0,\n"
               "                    1.0 - (inPosition.y - viewport.y) / viewport.w * 2.0);\n";
        out << "    float range = misc.w - misc.z;\n";
        out << "    float z = range != 0.0 ? (inPosition.z - misc.z) / range : inPosition.z;\n";
        out << "    vec4 clip = vec4(ndc, z, 1.0) * w;\n";
        out << "    vec4 P = vec4(0.0, 0.0, 0.0, 1.0);\n";
    } else {
        out << "    vec4 P = worldView * vec4(inPosition.xyz, 1.0);\n";
        out << "    vec4 clip = projection * P;\n";
    }
    if (key.hasNormal) {
        out << "    vec3 N = mat3(normalMatrix) * inNormal;\n";
        if (key.normalizeNormals) out << "    N = dot(N, N) > 0.0 ? normalize(N) : N;\n";
    } else {
        out << "    vec3 N = vec3(0.0);\n";
    }

    if (key.lighting) {
        emitLighting(out, key);
    } else {
        out << "    vsDiffuse = " << (key.hasDiffuse ? "inDiffuse" : "vec4(1.0)") << ";\n";
        out << "    vsSpecular = " << (key.hasSpecular ? "inSpecular" : "vec4(0.0)") << ";\n";
    }
    for (int i = 0; i < static_cast<int>(D3D_MAX_STAGES); ++i)
        if (key.stages[i].sampled) emitTexCoord(out, key, i);

    if (key.points) {
        out << "    float size = " << (key.hasPointSize ? "inPointSize" : "pointSize.x") << ";\n";
        if (key.pointScale) {
            out << "    float De = length(P.xyz);\n";
            out << "    float scaleTerm = pointScale.x + pointScale.y * De + pointScale.z * De * De;\n";
            out << "    size = viewport.w * size * sqrt(1.0 / max(scaleTerm, 1e-20));\n";
        }
        out << "    vsPointSize = min(max(size, pointSize.y), pointSize.z);\n";
    }
    // Pixel centres: Direct3D puts them on integer coordinates, OpenGL half a pixel further,
    // so everything moves half a pixel right and half a pixel down (in NDC, 1 / size).
    out << "    clip.x += clip.w / viewport.z;\n";
    out << "    clip.y -= clip.w / viewport.w;\n";
    // Points stay in Direct3D's orientation until the geometry stage has expanded them.
    out << "    gl_Position = " << (key.points ? "clip" : "toFramebuffer(clip)") << ";\n";
    out << "}\n";
    return out.str();
}

std::string geometryShader(const FfKey& key)
{
    std::ostringstream out;
    out << "#version 450 core\n" << kUniformBlocks << kFramebufferMapping;
    out << "layout(points) in;\nlayout(triangle_strip, max_vertices = 4) out;\n";
    declareVaryings(out, key, "in", "vs", true);
    out << "in float vsPointSize[];\n";
    declareVaryings(out, key, "out", "fs", false);
    out << "void emitCorner(vec4 centre, vec2 offset, vec2 uv) {\n";
    out << "    gl_Position = toFramebuffer(centre + vec4(offset, 0.0, 0.0));\n";
    out << "    fsDiffuse = vsDiffuse[0];\n    fsSpecular = vsSpecular[0];\n";
    for (int i = 0; i < static_cast<int>(D3D_MAX_STAGES); ++i) {
        if (!key.stages[i].sampled) continue;
        if (key.pointSprite)
            out << "    fsTex" << i << " = vec4(uv, 0.0, 1.0);\n";
        else
            out << "    fsTex" << i << " = vsTex" << i << "[0];\n";
    }
    out << "    EmitVertex();\n}\n";
    out << "void main() {\n";
    out << "    vec4 c = gl_in[0].gl_Position;\n";
    // A point whose centre leaves the view volume disappears whole, however large it is.
    out << "    if (c.w <= 0.0 || any(greaterThan(abs(c.xy), vec2(c.w))) || c.z < 0.0 || c.z > c.w) return;\n";
    out << "    vec2 extent = vec2(vsPointSize[0] / viewport.z, vsPointSize[0] / viewport.w) * c.w;\n";
    // Sprite coordinates run from (0, 0) at the top-left corner on screen to (1, 1).
    out << "    emitCorner(c, vec2(-extent.x, extent.y), vec2(0.0, 0.0));\n";
    out << "    emitCorner(c, vec2(-extent.x, -extent.y), vec2(0.0, 1.0));\n";
    out << "    emitCorner(c, vec2(extent.x, extent.y), vec2(1.0, 0.0));\n";
    out << "    emitCorner(c, vec2(extent.x, -extent.y), vec2(1.0, 1.0));\n";
    out << "    EndPrimitive();\n}\n";
    return out.str();
}

// head + body + tail by appending: GCC 12 at -O3 reports a false -Wrestrict on `"literal" + string`.
std::string wrapped(const char* head, const std::string& body, const char* tail)
{
    std::string out(head);
    out.append(body).append(tail);
    return out;
}

// One argument of a stage, with its modifiers.
std::string argument(std::uint8_t arg, int stage)
{
    std::string value;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: value = "diffuse"; break;
    case D3DTA_CURRENT: value = "current"; break;
    case D3DTA_TEXTURE: value = wrapped("t", std::to_string(stage), ""); break;
    case D3DTA_TFACTOR: value = "textureFactor"; break;
    case D3DTA_SPECULAR: value = "specular"; break;
    case D3DTA_TEMP: value = "temp"; break;
    default: value = "vec4(0.0)"; break;
    }
    if (arg & D3DTA_ALPHAREPLICATE) value = wrapped("vec4(", value, ".a)");
    if (arg & D3DTA_COMPLEMENT) value = wrapped("(vec4(1.0) - ", value, ")");
    return value;
}

// The expression of an operation on arguments a0, a1, a2 (vec4 expressions).
std::string operation(std::uint8_t op, const std::string& a0, const std::string& a1, const std::string& a2)
{
    switch (op) {
    case D3DTOP_SELECTARG1: return a1;
    case D3DTOP_SELECTARG2: return a2;
    case D3DTOP_MODULATE: return a1 + " * " + a2;
    case D3DTOP_MODULATE2X: return "2.0 * " + a1 + " * " + a2;
    case D3DTOP_MODULATE4X: return "4.0 * " + a1 + " * " + a2;
    case D3DTOP_ADD: return a1 + " + " + a2;
    case D3DTOP_ADDSIGNED: return a1 + " + " + a2 + " - vec4(0.5)";
    case D3DTOP_ADDSIGNED2X: return "2.0 * (" + a1 + " + " + a2 + " - vec4(0.5))";
    case D3DTOP_SUBTRACT: return a1 + " - " + a2;
    case D3DTOP_ADDSMOOTH: return a1 + " + " + a2 + " - " + a1 + " * " + a2;
    case D3DTOP_DOTPRODUCT3:
        return "vec4(4.0 * dot((" + a1 + ").rgb - vec3(0.5), (" + a2 + ").rgb - vec3(0.5)))";
    case D3DTOP_MULTIPLYADD: return a0 + " + " + a1 + " * " + a2;
    case D3DTOP_LERP: return a0 + " * " + a1 + " + (vec4(1.0) - " + a0 + ") * " + a2;
    default: return "current";
    }
}

std::string fragmentShader(const FfKey& key)
{
    std::ostringstream out;
    out << "#version 450 core\n" << kUniformBlocks;
    declareVaryings(out, key, "in", key.usesGeometryStage() ? "fs" : "vs", false);
    for (int i = 0; i < static_cast<int>(D3D_MAX_STAGES); ++i)
        if (key.stages[i].sampled) out << "layout(binding = " << i << ") uniform sampler2D texture" << i << ";\n";
    out << "layout(location = 0) out vec4 fragColor;\n";
    out << "void main() {\n";
    const std::string in = key.usesGeometryStage() ? "fs" : "vs";
    out << "    vec4 diffuse = " << in << "Diffuse;\n";
    out << "    vec4 specular = " << in << "Specular;\n";
    out << "    vec4 current = diffuse;\n";
    out << "    vec4 temp = vec4(0.0);\n";
    for (int i = 0; i < static_cast<int>(D3D_MAX_STAGES); ++i) {
        const FfStageKey& stage = key.stages[i];
        if (!stage.colorOp) break;
        out << "    {\n";
        // A texture-less stage that only its alpha operation samples reads (0, 0, 0, 0).
        if (stage.sampled)
            out << "        vec4 t" << i << " = texture(texture" << i << ", " << in << "Tex" << i << ".xy);\n";
        else
            out << "        vec4 t" << i << " = vec4(0.0);\n";
        const std::string colorValue =
            operation(stage.colorOp, argument(stage.colorArg[0], i), argument(stage.colorArg[1], i),
                      argument(stage.colorArg[2], i));
        out << "        vec4 colorResult = " << colorValue << ";\n";
        if (stage.colorOp == D3DTOP_DOTPRODUCT3) {
            out << "        float alphaResult = colorResult.a;\n";
        } else if (stage.alphaOp == D3DTOP_DISABLE) {
            out << "        float alphaResult = current.a;\n";
        } else {
            const std::string alphaValue =
                operation(stage.alphaOp, argument(stage.alphaArg[0], i), argument(stage.alphaArg[1], i),
                          argument(stage.alphaArg[2], i));
            out << "        float alphaResult = (" << alphaValue << ").a;\n";
        }
        // Every stage's result is clamped before the next stage sees it.
        out << "        " << (stage.resultTemp ? "temp" : "current")
            << " = clamp(vec4(colorResult.rgb, alphaResult), 0.0, 1.0);\n";
        out << "    }\n";
    }
    if (key.specularEnable) out << "    current.rgb = clamp(current.rgb + specular.rgb, 0.0, 1.0);\n";
    if (key.alphaFunc && key.alphaFunc != D3DCMP_ALWAYS) {
        static const char* comparisons[] = {"", "false", "a < r", "a == r", "a <= r", "a > r", "a != r", "a >= r", "true"};
        out << "    float a = floor(current.a * 255.0 + 0.5);\n";
        out << "    float r = misc.y;\n";
        out << "    if (!(" << comparisons[key.alphaFunc] << ")) discard;\n";
    }
    out << "    fragColor = current;\n";
    out << "}\n";
    return out.str();
}

} // namespace

FfShaderSources generateFfShaders(const FfKey& key)
{
    FfShaderSources sources;
    sources.vertex = vertexShader(key);
    if (key.usesGeometryStage()) sources.geometry = geometryShader(key);
    sources.fragment = fragmentShader(key);
    return sources;
}

} // namespace d3dgl

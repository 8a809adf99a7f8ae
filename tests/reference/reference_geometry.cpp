// Helpers of the reference cases.
#include "reference/reference_geometry.h"

#include <cmath>
#include <cstring>

namespace ref {

D3DMATRIX identity()
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

D3DMATRIX translation(float x, float y, float z)
{
    D3DMATRIX m = identity();
    m._41 = x;
    m._42 = y;
    m._43 = z;
    return m;
}

D3DMATRIX scaling(float x, float y, float z)
{
    D3DMATRIX m = identity();
    m._11 = x;
    m._22 = y;
    m._33 = z;
    return m;
}

D3DMATRIX rotationX(float angle)
{
    D3DMATRIX m = identity();
    const float c = std::cos(angle), s = std::sin(angle);
    m._22 = c;
    m._23 = s;
    m._32 = -s;
    m._33 = c;
    return m;
}

D3DMATRIX rotationY(float angle)
{
    D3DMATRIX m = identity();
    const float c = std::cos(angle), s = std::sin(angle);
    m._11 = c;
    m._13 = -s;
    m._31 = s;
    m._33 = c;
    return m;
}

D3DMATRIX perspectiveFovLH(float fovY, float aspect, float zNear, float zFar)
{
    D3DMATRIX m{};
    const float ys = 1.0f / std::tan(fovY / 2.0f);
    m._11 = ys / aspect;
    m._22 = ys;
    m._33 = zFar / (zFar - zNear);
    m._34 = 1.0f;
    m._43 = -zNear * zFar / (zFar - zNear);
    return m;
}

namespace {

D3DVECTOR sub(D3DVECTOR a, D3DVECTOR b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float dot(D3DVECTOR a, D3DVECTOR b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
D3DVECTOR cross(D3DVECTOR a, D3DVECTOR b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
D3DVECTOR normalise(D3DVECTOR v)
{
    const float length = std::sqrt(dot(v, v));
    return {v.x / length, v.y / length, v.z / length};
}

} // namespace

D3DMATRIX lookAtLH(D3DVECTOR eye, D3DVECTOR at, D3DVECTOR up)
{
    const D3DVECTOR z = normalise(sub(at, eye));
    const D3DVECTOR x = normalise(cross(up, z));
    const D3DVECTOR y = cross(z, x);
    D3DMATRIX m = identity();
    m._11 = x.x; m._12 = y.x; m._13 = z.x;
    m._21 = x.y; m._22 = y.y; m._23 = z.y;
    m._31 = x.z; m._32 = y.z; m._33 = z.z;
    m._41 = -dot(x, eye);
    m._42 = -dot(y, eye);
    m._43 = -dot(z, eye);
    return m;
}

D3DMATRIX orthoScreen(float width, float height)
{
    D3DMATRIX m = identity();
    m._11 = 2.0f / width;
    m._22 = -2.0f / height;
    m._41 = -1.0f;
    m._42 = 1.0f;
    return m;
}

D3DMATRIX textureScaleOffset(float su, float sv, float ou, float ov)
{
    D3DMATRIX m = identity();
    m._11 = su;
    m._22 = sv;
    m._31 = 0.5f * (1.0f - su) - ou;
    m._32 = 0.5f * (1.0f - sv) + ov;
    return m;
}

D3DMATRIX textureOffset(float du, float dv)
{
    D3DMATRIX m = identity();
    m._31 = du;
    m._32 = dv;
    return m;
}

std::uint8_t noise(unsigned x, unsigned y, unsigned seed)
{
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<std::uint8_t>((h ^ (h >> 16)) & 0xFF);
}

IDirect3DTexture9* makeTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, D3DFORMAT format,
                               const std::function<D3DCOLOR(UINT, UINT, UINT)>& texel)
{
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(device->CreateTexture(width, height, levels, 0, format, D3DPOOL_MANAGED, &texture, nullptr)))
        return nullptr;
    const UINT bpp = d3dBytesPerPixel(format);
    for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
        D3DSURFACE_DESC desc{};
        texture->GetLevelDesc(level, &desc);
        D3DLOCKED_RECT locked{};
        if (FAILED(texture->LockRect(level, &locked, nullptr, 0)))
            continue;
        for (UINT y = 0; y < desc.Height; ++y) {
            auto* row = static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::size_t>(y) * locked.Pitch;
            for (UINT x = 0; x < desc.Width; ++x) {
                const D3DCOLOR c = texel(level, x, y);
                if (bpp == 1)
                    row[x] = static_cast<std::uint8_t>(c >> 16);
                else
                    std::memcpy(row + 4 * x, &c, 4);
            }
        }
        texture->UnlockRect(level);
    }
    return texture;
}

void drawQuad(IDirect3DDevice9* device, float x0, float y0, float x1, float y1, float z, float u0, float v0, float u1,
              float v1, D3DCOLOR colour)
{
    const ColourTexVertex quad[4] = {
        {x0, y0, z, colour, u0, v0},
        {x1, y0, z, colour, u1, v0},
        {x0, y1, z, colour, u0, v1},
        {x1, y1, z, colour, u1, v1},
    };
    device->SetFVF(kColourTexFvf);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ColourTexVertex));
}

void drawQuadColours(IDirect3DDevice9* device, float x0, float y0, float x1, float y1, float z,
                     const D3DCOLOR corners[4])
{
    const ColourVertex quad[4] = {
        {x0, y0, z, corners[0]},
        {x1, y0, z, corners[1]},
        {x0, y1, z, corners[2]},
        {x1, y1, z, corners[3]},
    };
    device->SetFVF(kColourFvf);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ColourVertex));
}

namespace {

template <typename Vertex>
void gridIndices(Mesh<Vertex>& mesh, unsigned rows, unsigned columns)
{
    const unsigned stride = columns + 1;
    for (unsigned r = 0; r < rows; ++r)
        for (unsigned c = 0; c < columns; ++c) {
            const auto a = static_cast<std::uint16_t>(r * stride + c);
            const auto b = static_cast<std::uint16_t>(a + 1);
            const auto d = static_cast<std::uint16_t>(a + stride);
            const auto e = static_cast<std::uint16_t>(d + 1);
            mesh.indices.insert(mesh.indices.end(), {a, b, d, d, b, e});
        }
}

} // namespace

Mesh<LitVertex> sphere(float radius, unsigned rings, unsigned segments)
{
    Mesh<LitVertex> mesh;
    const float pi = 3.14159265358979f;
    for (unsigned r = 0; r <= rings; ++r) {
        const float theta = pi * static_cast<float>(r) / static_cast<float>(rings);
        for (unsigned s = 0; s <= segments; ++s) {
            const float phi = 2.0f * pi * static_cast<float>(s) / static_cast<float>(segments);
            const float nx = std::sin(theta) * std::cos(phi), ny = std::cos(theta), nz = std::sin(theta) * std::sin(phi);
            mesh.vertices.push_back({radius * nx, radius * ny, radius * nz, nx, ny, nz,
                                     static_cast<float>(s) / static_cast<float>(segments),
                                     static_cast<float>(r) / static_cast<float>(rings)});
        }
    }
    gridIndices(mesh, rings, segments);
    return mesh;
}

Mesh<LitVertex> cone(float radius, float height, unsigned rings, unsigned segments)
{
    Mesh<LitVertex> mesh;
    const float pi = 3.14159265358979f;
    const float slant = std::sqrt(radius * radius + height * height);
    for (unsigned r = 0; r <= rings; ++r) {
        const float t = static_cast<float>(r) / static_cast<float>(rings);
        for (unsigned s = 0; s <= segments; ++s) {
            const float phi = 2.0f * pi * static_cast<float>(s) / static_cast<float>(segments);
            const float c = std::cos(phi), sn = std::sin(phi);
            // Outward normal of the slanted side, leaning towards the apex side (-z).
            mesh.vertices.push_back({radius * t * c, radius * t * sn, height * t, height / slant * c,
                                     height / slant * sn, -radius / slant,
                                     static_cast<float>(s) / static_cast<float>(segments), t});
        }
    }
    gridIndices(mesh, rings, segments);
    return mesh;
}

Mesh<LitVertex> floorGrid(float size, float y, unsigned cells, float tiles)
{
    Mesh<LitVertex> mesh;
    for (unsigned r = 0; r <= cells; ++r)
        for (unsigned c = 0; c <= cells; ++c) {
            const float fx = static_cast<float>(c) / static_cast<float>(cells);
            const float fz = static_cast<float>(r) / static_cast<float>(cells);
            mesh.vertices.push_back({(fx - 0.5f) * size, y, (0.5f - fz) * size, 0.0f, 1.0f, 0.0f, fx * tiles,
                                     fz * tiles});
        }
    gridIndices(mesh, cells, cells);
    return mesh;
}

template <typename Vertex>
void drawMesh(IDirect3DDevice9* device, const Mesh<Vertex>& mesh, DWORD fvf)
{
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    const UINT vertexBytes = static_cast<UINT>(mesh.vertices.size() * sizeof(Vertex));
    const UINT indexBytes = static_cast<UINT>(mesh.indices.size() * sizeof(std::uint16_t));
    if (FAILED(device->CreateVertexBuffer(vertexBytes, D3DUSAGE_WRITEONLY, fvf, D3DPOOL_MANAGED, &vertices, nullptr)))
        return;
    if (FAILED(device->CreateIndexBuffer(indexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices,
                                         nullptr))) {
        vertices->Release();
        return;
    }
    void* data = nullptr;
    if (SUCCEEDED(vertices->Lock(0, 0, &data, 0))) {
        std::memcpy(data, mesh.vertices.data(), vertexBytes);
        vertices->Unlock();
    }
    if (SUCCEEDED(indices->Lock(0, 0, &data, 0))) {
        std::memcpy(data, mesh.indices.data(), indexBytes);
        indices->Unlock();
    }
    device->SetFVF(fvf);
    device->SetStreamSource(0, vertices, 0, sizeof(Vertex));
    device->SetIndices(indices);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, static_cast<UINT>(mesh.vertices.size()), 0,
                                 static_cast<UINT>(mesh.indices.size() / 3));
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    vertices->Release();
    indices->Release();
}

template void drawMesh<LitVertex>(IDirect3DDevice9*, const Mesh<LitVertex>&, DWORD);
template void drawMesh<LitVertex2>(IDirect3DDevice9*, const Mesh<LitVertex2>&, DWORD);

} // namespace ref

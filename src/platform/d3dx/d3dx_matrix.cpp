// Matrix helpers: products, inverse and the projection and transform builders.

#include "platform/d3dx/d3dx_matrix.h"

#include <cmath>

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& other) const
{
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, this, &other);
    return product;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& other) const
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (m[r][c] != other.m[r][c]) return false;
    return true;
}

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out)
{
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

bool D3DXMatrixIsIdentity(const D3DXMATRIX* m)
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    return *m == identity;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2)
{
    D3DXMATRIX product; // out may be m1 or m2
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            product.m[r][c] = m1->m[r][0] * m2->m[0][c] + m1->m[r][1] * m2->m[1][c] +
                              m1->m[r][2] * m2->m[2][c] + m1->m[r][3] * m2->m[3][c];
    *out = product;
    return out;
}

D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m)
{
    D3DXMATRIX transposed;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            transposed.m[r][c] = m->m[c][r];
    *out = transposed;
    return out;
}

namespace {

// The adjugate's entries through the 2 × 2 minors of the upper and lower row pairs (Laplace
// expansion along rows 1-2 against rows 3-4), in double so nearly singular inputs keep their
// digits; returns the determinant.
double adjugate(const D3DXMATRIX& a, double adj[4][4])
{
    auto e = [&](int r, int c) { return static_cast<double>(a.m[r][c]); };
    const double s0 = e(0, 0) * e(1, 1) - e(1, 0) * e(0, 1);
    const double s1 = e(0, 0) * e(1, 2) - e(1, 0) * e(0, 2);
    const double s2 = e(0, 0) * e(1, 3) - e(1, 0) * e(0, 3);
    const double s3 = e(0, 1) * e(1, 2) - e(1, 1) * e(0, 2);
    const double s4 = e(0, 1) * e(1, 3) - e(1, 1) * e(0, 3);
    const double s5 = e(0, 2) * e(1, 3) - e(1, 2) * e(0, 3);
    const double c5 = e(2, 2) * e(3, 3) - e(3, 2) * e(2, 3);
    const double c4 = e(2, 1) * e(3, 3) - e(3, 1) * e(2, 3);
    const double c3 = e(2, 1) * e(3, 2) - e(3, 1) * e(2, 2);
    const double c2 = e(2, 0) * e(3, 3) - e(3, 0) * e(2, 3);
    const double c1 = e(2, 0) * e(3, 2) - e(3, 0) * e(2, 2);
    const double c0 = e(2, 0) * e(3, 1) - e(3, 0) * e(2, 1);

    adj[0][0] = e(1, 1) * c5 - e(1, 2) * c4 + e(1, 3) * c3;
    adj[0][1] = -e(0, 1) * c5 + e(0, 2) * c4 - e(0, 3) * c3;
    adj[0][2] = e(3, 1) * s5 - e(3, 2) * s4 + e(3, 3) * s3;
    adj[0][3] = -e(2, 1) * s5 + e(2, 2) * s4 - e(2, 3) * s3;
    adj[1][0] = -e(1, 0) * c5 + e(1, 2) * c2 - e(1, 3) * c1;
    adj[1][1] = e(0, 0) * c5 - e(0, 2) * c2 + e(0, 3) * c1;
    adj[1][2] = -e(3, 0) * s5 + e(3, 2) * s2 - e(3, 3) * s1;
    adj[1][3] = e(2, 0) * s5 - e(2, 2) * s2 + e(2, 3) * s1;
    adj[2][0] = e(1, 0) * c4 - e(1, 1) * c2 + e(1, 3) * c0;
    adj[2][1] = -e(0, 0) * c4 + e(0, 1) * c2 - e(0, 3) * c0;
    adj[2][2] = e(3, 0) * s4 - e(3, 1) * s2 + e(3, 3) * s0;
    adj[2][3] = -e(2, 0) * s4 + e(2, 1) * s2 - e(2, 3) * s0;
    adj[3][0] = -e(1, 0) * c3 + e(1, 1) * c1 - e(1, 2) * c0;
    adj[3][1] = e(0, 0) * c3 - e(0, 1) * c1 + e(0, 2) * c0;
    adj[3][2] = -e(3, 0) * s3 + e(3, 1) * s1 - e(3, 2) * s0;
    adj[3][3] = e(2, 0) * s3 - e(2, 1) * s1 + e(2, 2) * s0;

    return s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
}

} // namespace

float D3DXMatrixDeterminant(const D3DXMATRIX* m)
{
    double adj[4][4];
    return static_cast<float>(adjugate(*m, adj));
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m)
{
    double adj[4][4];
    const double det = adjugate(*m, adj);
    if (determinant) *determinant = static_cast<float>(det);
    if (det == 0.0 || !std::isfinite(det)) return nullptr;
    const double scale = 1.0 / det;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out->m[r][c] = static_cast<float>(adj[r][c] * scale);
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z)
{
    D3DXMatrixIdentity(out);
    out->_41 = x;
    out->_42 = y;
    out->_43 = z;
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz)
{
    D3DXMatrixIdentity(out);
    out->_11 = sx;
    out->_22 = sy;
    out->_33 = sz;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q)
{
    const float x = q->x, y = q->y, z = q->z, w = q->w;
    *out = D3DXMATRIX(1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0,
                      2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0,
                      2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y), 0,
                      0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, float w, float h, float zn, float zf)
{
    return D3DXMatrixOrthoOffCenterLH(out, -w / 2, w / 2, -h / 2, h / 2, zn, zf);
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float l, float r, float b, float t, float zn, float zf)
{
    D3DXMatrixIdentity(out);
    out->_11 = 2 / (r - l);
    out->_22 = 2 / (t - b);
    out->_33 = 1 / (zf - zn);
    out->_41 = (l + r) / (l - r);
    out->_42 = (t + b) / (b - t);
    out->_43 = zn / (zn - zf);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf)
{
    const float yScale = 1 / std::tan(fovy / 2);
    *out = D3DXMATRIX();
    out->_11 = yScale / aspect;
    out->_22 = yScale;
    out->_33 = zf / (zf - zn);
    out->_34 = 1;
    out->_43 = -zn * zf / (zf - zn);
    return out;
}

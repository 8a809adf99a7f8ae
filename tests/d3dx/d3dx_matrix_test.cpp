// Matrix helpers against hand-worked values and the published definitions.

#include "platform/d3dx/d3dx_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void expectMatrixNear(const D3DXMATRIX& expected, const D3DXMATRIX& actual, float tolerance)
{
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned c = 0; c < 4; ++c)
            EXPECT_NEAR(expected(r, c), actual(r, c), tolerance) << "element " << r + 1 << c + 1;
}

D3DXVECTOR4 transformPoint(float x, float y, float z, const D3DXMATRIX& m)
{
    const D3DXVECTOR3 p(x, y, z);
    D3DXVECTOR4 out;
    D3DXVec3Transform(&out, &p, &m);
    return out;
}

D3DXMATRIX identity()
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

TEST(D3DXMatrixTest, ProductAppliesTheLeftMatrixFirst)
{
    // Hand-worked: A is a shear plus translation, B a shear; A × B ≠ B × A.
    const D3DXMATRIX a(1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 3, 0, 0, 1);
    const D3DXMATRIX b(2, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    D3DXMATRIX ab, ba;
    D3DXMatrixMultiply(&ab, &a, &b);
    D3DXMatrixMultiply(&ba, &b, &a);
    EXPECT_EQ(ab, D3DXMATRIX(4, 2, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 6, 0, 0, 1));
    EXPECT_EQ(ba, D3DXMATRIX(2, 4, 0, 0, 1, 3, 0, 0, 0, 0, 1, 0, 3, 0, 0, 1));
    EXPECT_EQ(a * b, ab);

    // Translate, then scale: the origin moves to (1, 2, 3), then doubles.
    D3DXMATRIX t, s, ts;
    D3DXMatrixTranslation(&t, 1, 2, 3);
    D3DXMatrixScaling(&s, 2, 2, 2);
    D3DXMatrixMultiply(&ts, &t, &s);
    const D3DXVECTOR4 p = transformPoint(0, 0, 0, ts);
    EXPECT_EQ(p, D3DXVECTOR4(2, 4, 6, 1));
}

TEST(D3DXMatrixTest, ProductAllowsTheOutputToAliasAnInput)
{
    const D3DXMATRIX a(1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 3, 0, 0, 1);
    const D3DXMATRIX b(2, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    D3DXMATRIX left = a, right = b;
    D3DXMatrixMultiply(&left, &left, &b);
    D3DXMatrixMultiply(&right, &a, &right);
    EXPECT_EQ(left, a * b);
    EXPECT_EQ(right, a * b);
}

TEST(D3DXMatrixTest, TransposeSwapsRowsAndColumns)
{
    const D3DXMATRIX m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    D3DXMATRIX t;
    D3DXMatrixTranspose(&t, &m);
    EXPECT_EQ(t, D3DXMATRIX(1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16));
    D3DXMatrixTranspose(&t, &t);
    EXPECT_EQ(t, m);
}

TEST(D3DXMatrixTest, InverseOfKnownTransforms)
{
    D3DXMATRIX m, inverse, expected;
    float determinant = 0;

    D3DXMatrixTranslation(&m, 1, -2, 3);
    ASSERT_NE(D3DXMatrixInverse(&inverse, &determinant, &m), nullptr);
    expectMatrixNear(*D3DXMatrixTranslation(&expected, -1, 2, -3), inverse, 1e-6f);
    EXPECT_FLOAT_EQ(determinant, 1.0f);

    D3DXMatrixScaling(&m, 2, 4, 8);
    ASSERT_NE(D3DXMatrixInverse(&inverse, &determinant, &m), nullptr);
    expectMatrixNear(*D3DXMatrixScaling(&expected, 0.5f, 0.25f, 0.125f), inverse, 1e-7f);
    EXPECT_FLOAT_EQ(determinant, 64.0f);
    EXPECT_FLOAT_EQ(D3DXMatrixDeterminant(&m), 64.0f);

    // A rotation's inverse is its transpose.
    D3DXMatrixRotationY(&m, 0.7f);
    ASSERT_NE(D3DXMatrixInverse(&inverse, nullptr, &m), nullptr);
    expectMatrixNear(*D3DXMatrixTranspose(&expected, &m), inverse, 1e-6f);
}

TEST(D3DXMatrixTest, InverseTimesMatrixIsIdentity)
{
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f), scale(0.5f, 2.0f), angle(-3.0f, 3.0f);
    for (int trial = 0; trial < 200; ++trial) {
        // General matrices, kept well conditioned by a dominant diagonal.
        D3DXMATRIX m;
        for (unsigned r = 0; r < 4; ++r)
            for (unsigned c = 0; c < 4; ++c)
                m(r, c) = unit(random) + (r == c ? 4.0f : 0.0f);
        D3DXMATRIX inverse;
        ASSERT_NE(D3DXMatrixInverse(&inverse, nullptr, &m), nullptr);
        expectMatrixNear(identity(), inverse * m, 1e-5f);
        expectMatrixNear(identity(), m * inverse, 1e-5f);

        // Node transforms: scale × rotation × translation.
        D3DXMATRIX s, rx, ry, t;
        D3DXMatrixScaling(&s, scale(random), scale(random), scale(random));
        D3DXMatrixRotationX(&rx, angle(random));
        D3DXMatrixRotationY(&ry, angle(random));
        D3DXMatrixTranslation(&t, 20 * unit(random), 20 * unit(random), 20 * unit(random));
        const D3DXMATRIX node = s * rx * ry * t;
        ASSERT_NE(D3DXMatrixInverse(&inverse, nullptr, &node), nullptr);
        expectMatrixNear(identity(), inverse * node, 1e-5f);
    }

    // A scene node's local matrix S × R × T and a projection.
    D3DXMATRIX s, r, t, p, inverse;
    const D3DXQUATERNION q(0.18257419f, 0.36514837f, 0.54772256f, 0.73029674f);
    D3DXMatrixScaling(&s, 2, 0.5f, 3);
    D3DXMatrixRotationQuaternion(&r, &q);
    D3DXMatrixTranslation(&t, 10, -20, 5);
    const D3DXMATRIX local = s * r * t;
    ASSERT_NE(D3DXMatrixInverse(&inverse, nullptr, &local), nullptr);
    expectMatrixNear(identity(), inverse * local, 1e-5f);
    D3DXMatrixPerspectiveFovLH(&p, kPi / 3, 4.0f / 3.0f, 1, 1000);
    ASSERT_NE(D3DXMatrixInverse(&inverse, nullptr, &p), nullptr);
    expectMatrixNear(identity(), inverse * p, 1e-5f);
}

TEST(D3DXMatrixTest, SingularMatrixHasNoInverse)
{
    const D3DXMATRIX singular(1, 2, 3, 4, 2, 4, 6, 8, 0, 0, 1, 0, 0, 0, 0, 1); // row 2 = 2 × row 1
    D3DXMATRIX out(9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9);
    const D3DXMATRIX before = out;
    float determinant = 1;
    EXPECT_EQ(D3DXMatrixInverse(&out, &determinant, &singular), nullptr);
    EXPECT_EQ(determinant, 0.0f);
    EXPECT_EQ(out, before);
}

TEST(D3DXMatrixTest, OrthoOffCenterMapsTheBoxOntoTheClipVolume)
{
    D3DXMATRIX m;
    D3DXMatrixOrthoOffCenterLH(&m, -2, 6, 1, 5, 1, 3);
    // Hand-worked from the definition.
    EXPECT_EQ(m, D3DXMATRIX(0.25f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, -0.5f, -1.5f, -0.5f, 1));
    EXPECT_EQ(transformPoint(-2, 1, 1, m), D3DXVECTOR4(-1, -1, 0, 1));
    EXPECT_EQ(transformPoint(6, 5, 3, m), D3DXVECTOR4(1, 1, 1, 1));

    // The blitter's screen projection: pixel units with y up, depth 0..1.
    D3DXMatrixOrthoOffCenterLH(&m, 0, 800, 0, 600, 0, 1);
    EXPECT_FLOAT_EQ(m._11, 2.0f / 800);
    EXPECT_FLOAT_EQ(m._22, 2.0f / 600);
    const D3DXVECTOR4 centre = transformPoint(400, 300, 1, m);
    EXPECT_NEAR(centre.x, 0.0f, 1e-6f);
    EXPECT_NEAR(centre.y, 0.0f, 1e-6f);
    EXPECT_EQ(centre.z, 1.0f);
}

TEST(D3DXMatrixTest, OrthoIsCentredOffCenter)
{
    D3DXMATRIX centred, offCentre;
    D3DXMatrixOrthoLH(&centred, 4, 2, 0, 10);
    EXPECT_EQ(centred, D3DXMATRIX(0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0.1f, 0, 0, 0, 0, 1));
    D3DXMatrixOrthoOffCenterLH(&offCentre, -2, 2, -1, 1, 0, 10);
    EXPECT_EQ(centred, offCentre);
}

TEST(D3DXMatrixTest, PerspectiveFovPutsNearAtDepthZeroAndFarAtOne)
{
    D3DXMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, kPi / 2, 2, 1, 101); // cot(45°) = 1
    EXPECT_NEAR(m._11, 0.5f, 1e-6f);
    EXPECT_NEAR(m._22, 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(m._33, 1.01f);
    EXPECT_EQ(m._34, 1.0f);
    EXPECT_FLOAT_EQ(m._43, -1.01f);
    EXPECT_EQ(m._44, 0.0f);
    EXPECT_EQ(m._12, 0.0f);
    EXPECT_EQ(m._41, 0.0f);

    const D3DXVECTOR4 nearPoint = transformPoint(0, 0, 1, m);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, 0.0f, 1e-6f);
    const D3DXVECTOR4 farPoint = transformPoint(0, 0, 101, m);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-6f);
    // The top edge of a 90° field of view at distance 7 is y = 7; the right edge x = 14.
    const D3DXVECTOR4 corner = transformPoint(14, 7, 7, m);
    EXPECT_NEAR(corner.x / corner.w, 1.0f, 1e-6f);
    EXPECT_NEAR(corner.y / corner.w, 1.0f, 1e-6f);
}

TEST(D3DXMatrixTest, AxisRotationsAreLeftHanded)
{
    D3DXMATRIX m;
    // Looking down +z (into the screen), a positive Z rotation turns +x towards +y.
    D3DXMatrixRotationZ(&m, kPi / 2);
    D3DXVECTOR4 p = transformPoint(1, 0, 0, m);
    EXPECT_NEAR(p.x, 0, 1e-6f);
    EXPECT_NEAR(p.y, 1, 1e-6f);
    D3DXMatrixRotationX(&m, kPi / 2);
    p = transformPoint(0, 1, 0, m);
    EXPECT_NEAR(p.y, 0, 1e-6f);
    EXPECT_NEAR(p.z, 1, 1e-6f);
    D3DXMatrixRotationY(&m, kPi / 2);
    p = transformPoint(0, 0, 1, m);
    EXPECT_NEAR(p.z, 0, 1e-6f);
    EXPECT_NEAR(p.x, 1, 1e-6f);
}

TEST(D3DXMatrixTest, QuaternionRotationMatchesTheDefinitionAndTheAxisRotations)
{
    // 90° about Z: q = (0, 0, sin 45°, cos 45°); by the definition's rows, x → y and y → −x.
    const float h = std::sqrt(0.5f);
    const D3DXQUATERNION q(0, 0, h, h);
    D3DXMATRIX m;
    D3DXMatrixRotationQuaternion(&m, &q);
    expectMatrixNear(D3DXMATRIX(0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1), m, 1e-6f);

    // A general unit quaternion, element by element from the published rows.
    const D3DXQUATERNION g(0.18257419f, 0.36514837f, 0.54772256f, 0.73029674f); // (1,2,3,4)/√30
    D3DXMatrixRotationQuaternion(&m, &g);
    const float x = g.x, y = g.y, z = g.z, w = g.w;
    expectMatrixNear(D3DXMATRIX(1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0,
                                2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0,
                                2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y), 0, 0, 0, 0, 1),
                     m, 1e-6f);
    // (1,2,3,4)/√30 worked by hand: first row (1 − 26/30, 2·(2 + 12)/30, 2·(3 − 8)/30).
    EXPECT_NEAR(m._11, 4.0f / 30, 1e-6f);
    EXPECT_NEAR(m._12, 28.0f / 30, 1e-6f);
    EXPECT_NEAR(m._13, -10.0f / 30, 1e-6f);

    const D3DXVECTOR3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (float angle : {0.3f, -1.2f, 2.5f}) {
        D3DXQUATERNION r;
        D3DXMATRIX fromQuaternion, expected;
        D3DXQuaternionRotationAxis(&r, &axes[0], angle);
        expectMatrixNear(*D3DXMatrixRotationX(&expected, angle), *D3DXMatrixRotationQuaternion(&fromQuaternion, &r),
                         1e-6f);
        D3DXQuaternionRotationAxis(&r, &axes[1], angle);
        expectMatrixNear(*D3DXMatrixRotationY(&expected, angle), *D3DXMatrixRotationQuaternion(&fromQuaternion, &r),
                         1e-6f);
        D3DXQuaternionRotationAxis(&r, &axes[2], angle);
        expectMatrixNear(*D3DXMatrixRotationZ(&expected, angle), *D3DXMatrixRotationQuaternion(&fromQuaternion, &r),
                         1e-6f);
    }
}

TEST(D3DXMatrixTest, IdentityIsRecognised)
{
    D3DXMATRIX m;
    EXPECT_TRUE(D3DXMatrixIsIdentity(D3DXMatrixIdentity(&m)));
    m._43 = 1e-7f;
    EXPECT_FALSE(D3DXMatrixIsIdentity(&m));
}

} // namespace

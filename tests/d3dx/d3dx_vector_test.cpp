// Vector and plane helpers against hand-worked values.

#include "platform/d3dx/d3dx_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

TEST(D3DXVectorTest, DotCrossAndLength)
{
    const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0), a(1, 2, 3), b(4, -5, 6);
    D3DXVECTOR3 out;
    EXPECT_EQ(*D3DXVec3Cross(&out, &x, &y), D3DXVECTOR3(0, 0, 1));
    EXPECT_EQ(*D3DXVec3Cross(&out, &y, &x), D3DXVECTOR3(0, 0, -1));
    // (2·6 − 3·(−5), 3·4 − 1·6, 1·(−5) − 2·4)
    EXPECT_EQ(*D3DXVec3Cross(&out, &a, &b), D3DXVECTOR3(27, 6, -13));
    EXPECT_EQ(D3DXVec3Dot(&a, &b), 12.0f);
    EXPECT_EQ(D3DXVec3LengthSq(&a), 14.0f);
    const D3DXVECTOR3 pythagoras(2, 3, 6);
    EXPECT_EQ(D3DXVec3Length(&pythagoras), 7.0f);
    D3DXVECTOR3 mid;
    EXPECT_EQ(*D3DXVec3Lerp(&mid, &a, &b, 0.5f), D3DXVECTOR3(2.5f, -1.5f, 4.5f));
}

TEST(D3DXVectorTest, NormaliseKeepsDirectionAndZeroStaysZero)
{
    const D3DXVECTOR3 v(3, 0, -4), zero(0, 0, 0);
    D3DXVECTOR3 out;
    EXPECT_EQ(*D3DXVec3Normalize(&out, &v), D3DXVECTOR3(0.6f, 0, -0.8f));
    EXPECT_EQ(*D3DXVec3Normalize(&out, &zero), zero);
    D3DXVECTOR3 inPlace(0, 0, 9);
    EXPECT_EQ(*D3DXVec3Normalize(&inPlace, &inPlace), D3DXVECTOR3(0, 0, 1));
}

TEST(D3DXVectorTest, TransformNormalIgnoresTranslationTransformCoordDividesByW)
{
    D3DXMATRIX rotation, translation;
    D3DXMatrixRotationZ(&rotation, std::numbers::pi_v<float> / 2);
    D3DXMatrixTranslation(&translation, 5, 6, 7);
    const D3DXMATRIX m = rotation * translation;
    const D3DXVECTOR3 x(1, 0, 0);
    D3DXVECTOR3 out;
    D3DXVec3TransformNormal(&out, &x, &m);
    EXPECT_NEAR(out.x, 0, 1e-6f);
    EXPECT_NEAR(out.y, 1, 1e-6f);
    EXPECT_NEAR(out.z, 0, 1e-6f);
    D3DXVec3TransformCoord(&out, &x, &m);
    EXPECT_NEAR(out.x, 5, 1e-6f);
    EXPECT_NEAR(out.y, 7, 1e-6f);
    EXPECT_NEAR(out.z, 7, 1e-6f);

    // Projective: w = 2 halves everything.
    D3DXMATRIX halving;
    D3DXMatrixIdentity(&halving);
    halving._44 = 2;
    const D3DXVECTOR3 p(4, 6, 8);
    EXPECT_EQ(*D3DXVec3TransformCoord(&out, &p, &halving), D3DXVECTOR3(2, 3, 4));
    D3DXVECTOR4 four;
    EXPECT_EQ(*D3DXVec3Transform(&four, &p, &halving), D3DXVECTOR4(4, 6, 8, 2));
    const D3DXVECTOR4 direction(1, 2, 3, 0);
    EXPECT_EQ(*D3DXVec4Transform(&four, &direction, &translation), D3DXVECTOR4(1, 2, 3, 0));
}

TEST(D3DXVectorTest, PlaneNormaliseDividesAllFourByTheNormalLength)
{
    const D3DXPLANE p(0, 3, 4, 10);
    D3DXPLANE out;
    EXPECT_EQ(*D3DXPlaneNormalize(&out, &p), D3DXPLANE(0, 0.6f, 0.8f, 2));
    const D3DXVECTOR3 point(0, 0, 1);
    EXPECT_FLOAT_EQ(D3DXPlaneDotCoord(&out, &point), 2.8f);
    const D3DXPLANE degenerate(0, 0, 0, 5);
    EXPECT_EQ(*D3DXPlaneNormalize(&out, &degenerate), D3DXPLANE(0, 0, 0, 0));
}

} // namespace

// Quaternion product and spherical interpolation against hand-worked values.

#include "platform/d3dx/d3dx_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void expectQuaternionNear(const D3DXQUATERNION& expected, const D3DXQUATERNION& actual, float tolerance = 1e-6f)
{
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
    EXPECT_NEAR(expected.w, actual.w, tolerance);
}

// angle in degrees about +z.
D3DXQUATERNION aboutZ(float degrees)
{
    const float half = degrees * kPi / 360.0f;
    return {0, 0, std::sin(half), std::cos(half)};
}

TEST(D3DXQuaternionTest, ProductIsTheSecondTimesTheFirst)
{
    // Half turns about x (i) then about y (j): the Hamilton product j · i = −k.
    const D3DXQUATERNION i(1, 0, 0, 0), j(0, 1, 0, 0);
    D3DXQUATERNION out;
    D3DXQuaternionMultiply(&out, &i, &j);
    EXPECT_EQ(out, D3DXQUATERNION(0, 0, -1, 0));
    D3DXQuaternionMultiply(&out, &j, &i);
    EXPECT_EQ(out, D3DXQUATERNION(0, 0, 1, 0));

    // Rotations about one axis add up.
    D3DXQUATERNION a = aboutZ(30), b = aboutZ(45);
    D3DXQuaternionMultiply(&out, &a, &b);
    expectQuaternionNear(aboutZ(75), out);

    // The identity changes nothing, on either side, and the output may alias an input.
    D3DXQUATERNION identity;
    D3DXQuaternionIdentity(&identity);
    D3DXQuaternionMultiply(&a, &a, &identity);
    expectQuaternionNear(aboutZ(30), a);
    D3DXQuaternionMultiply(&a, &identity, &a);
    expectQuaternionNear(aboutZ(30), a);
}

TEST(D3DXQuaternionTest, ProductRotatesByTheFirstThenTheSecond)
{
    const D3DXVECTOR3 xAxis(1, 0, 0), yAxis(0, 1, 0);
    D3DXQUATERNION q1, q2, product;
    D3DXQuaternionRotationAxis(&q1, &xAxis, kPi / 2);
    D3DXQuaternionRotationAxis(&q2, &yAxis, kPi / 2);
    D3DXQuaternionMultiply(&product, &q1, &q2);

    D3DXMATRIX m1, m2, combined;
    D3DXMatrixRotationQuaternion(&m1, &q1);
    D3DXMatrixRotationQuaternion(&m2, &q2);
    D3DXMatrixRotationQuaternion(&combined, &product);
    const D3DXMATRIX expected = m1 * m2;
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned c = 0; c < 4; ++c)
            EXPECT_NEAR(expected(r, c), combined(r, c), 1e-6f);

    // Traced by hand: +y turns to +z about x, then +z turns to +x about y.
    const D3DXVECTOR3 up(0, 1, 0);
    D3DXVECTOR3 turned;
    D3DXVec3TransformNormal(&turned, &up, &combined);
    EXPECT_NEAR(turned.x, 1, 1e-6f);
    EXPECT_NEAR(turned.y, 0, 1e-6f);
    EXPECT_NEAR(turned.z, 0, 1e-6f);
}

TEST(D3DXQuaternionTest, SlerpHitsTheEndsAndTheMiddleOfTheArc)
{
    const D3DXQUATERNION from = aboutZ(0), to = aboutZ(90);
    D3DXQUATERNION out;
    expectQuaternionNear(from, *D3DXQuaternionSlerp(&out, &from, &to, 0.0f));
    expectQuaternionNear(to, *D3DXQuaternionSlerp(&out, &from, &to, 1.0f));
    expectQuaternionNear(aboutZ(45), *D3DXQuaternionSlerp(&out, &from, &to, 0.5f));
    expectQuaternionNear(aboutZ(22.5f), *D3DXQuaternionSlerp(&out, &from, &to, 0.25f));
    EXPECT_NEAR(D3DXQuaternionLength(&out), 1.0f, 1e-6f);

    // Between two general rotations the midpoint is the normalised sum (equal weights).
    const D3DXQUATERNION p(0.18257419f, 0.36514837f, 0.54772256f, 0.73029674f), q(0.5f, -0.5f, 0.5f, 0.5f);
    D3DXQUATERNION sum = p + q, expected;
    D3DXQuaternionNormalize(&expected, &sum);
    expectQuaternionNear(expected, *D3DXQuaternionSlerp(&out, &p, &q, 0.5f));
}

TEST(D3DXQuaternionTest, SlerpTakesTheShorterArcAcrossHemispheres)
{
    // −q is the same rotation as q; interpolating towards it must not swing the long way round.
    const D3DXQUATERNION from = aboutZ(0);
    const D3DXQUATERNION negatedTo = -aboutZ(90);
    ASSERT_LT(D3DXQuaternionDot(&from, &negatedTo), 0.0f);
    D3DXQUATERNION out;
    expectQuaternionNear(aboutZ(45), *D3DXQuaternionSlerp(&out, &from, &negatedTo, 0.5f));
    expectQuaternionNear(aboutZ(90), *D3DXQuaternionSlerp(&out, &from, &negatedTo, 1.0f));
    expectQuaternionNear(from, *D3DXQuaternionSlerp(&out, &from, &negatedTo, 0.0f));
}

TEST(D3DXQuaternionTest, SlerpOfNearlyEqualRotationsIsLinear)
{
    const D3DXQUATERNION from = aboutZ(10), to = aboutZ(10.5f); // 1 − dot ≈ 1e-5, below the threshold
    D3DXQUATERNION out;
    D3DXQuaternionSlerp(&out, &from, &to, 0.3f);
    expectQuaternionNear(from * 0.7f + to * 0.3f, out, 1e-7f);
    EXPECT_TRUE(std::isfinite(D3DXQuaternionSlerp(&out, &from, &from, 0.5f)->w));
    expectQuaternionNear(from, out);
}

TEST(D3DXQuaternionTest, NormaliseAndRotationAxis)
{
    const D3DXQUATERNION q(0, 3, 0, 4);
    D3DXQUATERNION out;
    EXPECT_EQ(*D3DXQuaternionNormalize(&out, &q), D3DXQUATERNION(0, 0.6f, 0, 0.8f));
    const D3DXQUATERNION zero(0, 0, 0, 0);
    EXPECT_EQ(*D3DXQuaternionNormalize(&out, &zero), zero);

    const D3DXVECTOR3 longAxis(0, 0, 5); // the axis need not be unit length
    D3DXQuaternionRotationAxis(&out, &longAxis, kPi / 3);
    expectQuaternionNear(aboutZ(60), out);
}

} // namespace

// Layers: the back-to-front order around the scene, the placement handed to the image (one
// frame late, opacity clamped), motion from a base over script time, and the layer table's
// bookkeeping when images go away. Solid colours stand in for pictures: they need no file
// and each draw sets its colour, with the handed opacity, as the device's texture factor.
#include "content2d/image_blitter.h"
#include "script/commands/set_layer.h"
#include "script/commands/set_layer_alpha.h"
#include "script/commands/set_layer_alpha_delta.h"
#include "script/commands/set_layer_pos.h"
#include "script/commands/set_layer_pos_delta.h"
#include "scripter_fixture.h"

#include <limits>

using Layers = ScripterTest;

namespace {

// Colour bytes of the solid colours used below (alpha byte 255).
constexpr std::uint32_t kFarBack = 0xFF000001, kBack = 0xFF000002, kFront = 0xFF000003, kTop = 0xFF000004;

// A small uncompressed 24-bit TGA, as a picture file for loadimage.
std::string tinyTga() {
    std::string bytes(18, '\0');
    bytes[2] = 2;  // uncompressed true colour
    bytes[12] = 2;  // width 2
    bytes[14] = 2;  // height 2
    bytes[16] = 24;
    bytes[17] = 0x20;  // top row first
    bytes += std::string(2 * 2 * 3, '\x40');
    return bytes;
}

}  // namespace

TEST_F(Layers, WithoutASceneLayersDrawInAscendingNumberOrder) {
    load("createcolor 0 0 1 a\ncreatecolor 0 0 2 b\ncreatecolor 0 0 3 c\ncreatecolor 0 0 4 d\n"
         "setlayer d 7\nsetlayer c 0\nsetlayer b -1\nsetlayer a -5\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    EXPECT_EQ(textureFactors(), (std::vector<std::uint32_t>{kFarBack, kBack, kFront, kTop}));
}

TEST_F(Layers, SceneIsDrawnBetweenNegativeAndNonNegativeLayers) {
    load("createcolor 0 0 1 a\ncreatecolor 0 0 2 b\ncreatecolor 0 0 3 c\ncreatecolor 0 0 4 d\n"
         "setlayer d 7\nsetlayer c 0\nsetlayer b -1\nsetlayer a -5\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    device->clearCalls();
    std::size_t factorsBeforeScene = 0;
    int sceneDraws = 0;
    scripter->layers().compose(10.0f, [&] {
        factorsBeforeScene = textureFactors().size();
        ++sceneDraws;
    });
    EXPECT_EQ(sceneDraws, 1);
    EXPECT_EQ(factorsBeforeScene, 2u);
    EXPECT_EQ(textureFactors(), (std::vector<std::uint32_t>{kFarBack, kBack, kFront, kTop}));
}

TEST_F(Layers, ExtremeLayerNumbersKeepTheirOrder) {
    load("createcolor 0 0 1 a\ncreatecolor 0 0 2 b\ncreatecolor 0 0 3 c\ncreatecolor 0 0 4 d\n"
         "setlayer d 2147483647\nsetlayer c 0\nsetlayer b -2147483647\nsetlayer a -2147483648\n"
         "setlayer a -99999999999\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    // -99999999999 saturates to the lowest number and replaces the layer there.
    EXPECT_EQ(textureFactors(), (std::vector<std::uint32_t>{kFarBack, kBack, kFront, kTop}));
    const LayerTable::Entries& layers = scripter->layers().entries();
    ASSERT_EQ(layers.size(), 4u);
    EXPECT_EQ(layers.begin()->first, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(layers.rbegin()->first, std::numeric_limits<std::int32_t>::max());
}

TEST_F(Layers, PlacementIsHandedToTheImageAndOpacityIsClamped) {
    load("createcolor 255 128 0 orange\nsetlayer ORANGE 3\nsetlayerpos 3 12.5 -40\nsetlayeralpha 3 1.5\n"
         "setlayeradditive 3 1\nwait 10\nsetlayeralpha 3 -0.25\nsetlayeradditive 3 0\nwait 10\n"
         "setlayeralpha 3 0.5\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    ImageBlitter* orange = scripter->findImage("orange");
    ASSERT_NE(orange, nullptr);
    EXPECT_EQ(orange->x, 12.5f);
    EXPECT_EQ(orange->y, -40.0f);
    EXPECT_EQ(orange->alpha, 1.0f);
    EXPECT_TRUE(orange->additive);
    EXPECT_EQ(textureFactors(), std::vector<std::uint32_t>{0xFFFF8000u});
    EXPECT_EQ(scripter->layers().find(3)->alpha, 1.5f);  // stored unclamped

    EXPECT_FALSE(frameAt(20.0f));
    EXPECT_EQ(orange->alpha, 0.0f);
    EXPECT_FALSE(orange->additive);

    device->clearCalls();
    EXPECT_FALSE(frameAt(40.0f));
    EXPECT_EQ(orange->alpha, 0.5f);
    // The solid colour rounds 0.5 × 255 to 128.
    EXPECT_EQ(textureFactors(), std::vector<std::uint32_t>{0x80FF8000u});
}

TEST_F(Layers, NewLayerStartsAtTheCreationValuesAndDrawsAsSet) {
    load("createcolor 1 2 3 c\nsetlayer c 1\nsetlayerpos 1 5 6\nsetlayerposdelta 1 100 100\n"
         "setlayeralphadelta 1 -1\nsetlayeradditive 1 1\nwait 10\nsetlayer c 1\nwait 100000\n");
    EXPECT_FALSE(frameAt(1000.0f));
    EXPECT_FALSE(frameAt(1500.0f));
    const Layer* layer = scripter->layers().find(1);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->content, scripter->findImage("c"));
    EXPECT_FALSE(layer->additive);
    EXPECT_EQ(layer->x, 0.0f);
    EXPECT_EQ(layer->y, 0.0f);
    EXPECT_EQ(layer->alpha, 1.0f);
    EXPECT_EQ(layer->dx, 0.0f);
    EXPECT_EQ(layer->dAlpha, 0.0f);
    EXPECT_EQ(layer->posStartTime, 0.0f);
    EXPECT_EQ(layer->alphaStartTime, 0.0f);
    EXPECT_EQ(layer->baseAlpha, 1.0f);
}

TEST_F(Layers, MotionShowsOneFrameLate) {
    load("createcolor 1 2 3 c\nsetlayer c 1\nsetlayerposdelta 1 100 -50\nwait 100000\n");
    ImageBlitter* image = nullptr;
    EXPECT_FALSE(frameAt(2000.0f));
    image = scripter->findImage("c");
    EXPECT_EQ(image->x, 0.0f);
    EXPECT_FALSE(frameAt(2500.0f));
    // Drawn with the placement computed at 2000; now advanced to 2500's.
    EXPECT_EQ(image->x, 0.0f);
    EXPECT_EQ(scripter->layers().find(1)->x, 50.0f);
    EXPECT_EQ(scripter->layers().find(1)->y, -25.0f);
    EXPECT_FALSE(frameAt(3000.0f));
    EXPECT_EQ(image->x, 50.0f);
    EXPECT_EQ(image->y, -25.0f);
}

// The opacity example, with the commands run at exact script times and each frame composed
// at a chosen time; the handed opacity is the clamped value the previous draw computed.
TEST_F(Layers, AlphaDeltaRunsUnclampedAndReversesFromTheOvershoot) {
    load("createcolor 255 255 255 white\n");
    EXPECT_TRUE(frameAt(0.0f));
    ImageBlitter* white = scripter->findImage("white");
    SetLayer(*scripter, "white", 2).execute(0.0f);
    SetLayerAlpha(*scripter, 2, 0.0f).execute(0.0f);
    SetLayerAlphaDelta(*scripter, 2, 0.5f).execute(10000.0f);
    LayerTable& layers = scripter->layers();
    const auto storedAt = [&](float t) {
        layers.compose(t, {});
        return layers.find(2)->alpha;
    };
    const auto handedAfter = [&](float t) {
        layers.compose(t, {});
        layers.compose(t, {});
        return white->alpha;
    };
    EXPECT_EQ(storedAt(10000.0f), 0.0f);
    EXPECT_EQ(handedAfter(11000.0f), 0.5f);
    EXPECT_EQ(handedAfter(12000.0f), 1.0f);
    EXPECT_EQ(handedAfter(14000.0f), 1.0f);
    EXPECT_EQ(storedAt(16000.0f), 3.0f);

    SetLayerAlphaDelta(*scripter, 2, -0.5f).execute(16000.0f);
    EXPECT_EQ(layers.find(2)->baseAlpha, 3.0f);
    EXPECT_EQ(handedAfter(19000.0f), 1.0f);
    EXPECT_EQ(handedAfter(20000.0f), 1.0f);
    EXPECT_EQ(handedAfter(21000.0f), 0.5f);
    EXPECT_EQ(handedAfter(22000.0f), 0.0f);
    EXPECT_EQ(handedAfter(30000.0f), 0.0f);
    EXPECT_EQ(layers.find(2)->alpha, -4.0f);
}

TEST_F(Layers, SetLayerPosDuringMotionJumpsAheadByTheDistanceTravelled) {
    load("createcolor 1 1 1 c\n");
    EXPECT_TRUE(frameAt(0.0f));
    ImageBlitter* image = scripter->findImage("c");
    SetLayer(*scripter, "c", 1).execute(0.0f);
    SetLayerPos(*scripter, 1, 10.0f, 20.0f).execute(0.0f);
    LayerTable& layers = scripter->layers();
    SetLayerPosDelta(*scripter, 1, 100.0f, 0.0f).execute(2000.0f);
    layers.compose(2000.0f, {});
    layers.compose(3000.0f, {});
    EXPECT_EQ(layers.find(1)->x, 110.0f);
    EXPECT_EQ(layers.find(1)->y, 20.0f);

    // Moved to 50 at 3000: drawn there once, then on from 50 as if it had started at 2000.
    SetLayerPos(*scripter, 1, 50.0f, 5.0f).execute(3000.0f);
    layers.compose(3000.0f, {});
    EXPECT_EQ(image->x, 50.0f);
    EXPECT_EQ(image->y, 5.0f);
    EXPECT_EQ(layers.find(1)->x, 150.0f);
    layers.compose(4000.0f, {});
    EXPECT_EQ(image->x, 150.0f);
    EXPECT_EQ(layers.find(1)->x, 250.0f);
    EXPECT_EQ(layers.find(1)->posStartTime, 2000.0f);
}

TEST_F(Layers, SetLayerOnAnEmptySlotRemovesTheLayer) {
    load("createcolor 1 1 1 c\nsetlayer c 4\nsetlayer c 5\nwait 10\nsetlayer nothing 4\nsetlayer C 6\n"
         "wait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    EXPECT_NE(scripter->layers().find(4), nullptr);
    EXPECT_FALSE(frameAt(20.0f));
    EXPECT_EQ(scripter->layers().find(4), nullptr);
    EXPECT_NE(scripter->layers().find(5), nullptr);
    EXPECT_NE(scripter->layers().find(6), nullptr);
}

TEST_F(Layers, LayerCommandsOnMissingLayersDoNothing) {
    load("createcolor 1 1 1 c\nsetlayer c 1\nsetlayerpos 2 5 5\nsetlayeralpha 2 0\nsetlayerposdelta 2 1 1\n"
         "setlayeralphadelta 2 1\nsetlayeradditive 2 1\nremovelayer 2\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    ASSERT_EQ(scripter->layers().entries().size(), 1u);
    EXPECT_EQ(scripter->layers().find(2), nullptr);
}

TEST_F(Layers, RemovingAndClearingLayersLeavesTheImagesLoaded) {
    load("createcolor 1 1 1 c\nsetlayer c 1\nsetlayer c 2\nsetlayer c 3\nremovelayer 2\nwait 10\n"
         "clearlayers\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    EXPECT_EQ(scripter->layers().entries().size(), 2u);
    EXPECT_EQ(device->drawCount(), 2u);
    EXPECT_FALSE(frameAt(20.0f));
    EXPECT_TRUE(scripter->layers().entries().empty());
    EXPECT_NE(scripter->findImage("c"), nullptr);
}

TEST_F(Layers, ReplacingOrFreeingAnImageRemovesEveryLayerThatShowsIt) {
    load("createcolor 1 1 1 a\ncreatecolor 2 2 2 b\nsetlayer a 1\nsetlayer a -3\nsetlayer b 2\n"
         "wait 10\ncreatecolor 9 9 9 A\nwait 10\nsetlayer a 1\nfreeimage B\nfreeimage b\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    EXPECT_EQ(scripter->layers().entries().size(), 3u);
    EXPECT_FALSE(frameAt(20.0f));
    ASSERT_EQ(scripter->layers().entries().size(), 1u);
    EXPECT_NE(scripter->layers().find(2), nullptr);
    EXPECT_FALSE(frameAt(40.0f));
    ASSERT_EQ(scripter->layers().entries().size(), 1u);
    EXPECT_EQ(scripter->layers().find(1)->content, scripter->findImage("a"));
    EXPECT_EQ(scripter->findImage("b"), nullptr);
}

TEST_F(Layers, ReloadingAPictureSlotRemovesItsLayers) {
    const std::string picture = contentFile("logo.tga", tinyTga());
    load("loadimage " + picture + " Logo\nsetlayer logo 1\nwait 10\nloadimage " + picture +
         " LOGO\nwait 10\nsetlayer Logo 1\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    const ImageBlitter* first = scripter->findImage("logo");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->imageWidth(), 2u);
    EXPECT_EQ(device->drawCount(), 1u);
    EXPECT_FALSE(frameAt(20.0f));
    EXPECT_TRUE(scripter->layers().entries().empty());
    EXPECT_EQ(device->drawCount(), 1u);
    EXPECT_FALSE(frameAt(40.0f));
    EXPECT_EQ(device->drawCount(), 2u);
}

TEST(LayerAlpha, HandedOpacityIsClampedAndNanReadsAsTransparent) {
    EXPECT_EQ(clampedLayerAlpha(1.0f), 1.0f);
    EXPECT_EQ(clampedLayerAlpha(7.0f), 1.0f);
    EXPECT_EQ(clampedLayerAlpha(0.25f), 0.25f);
    EXPECT_EQ(clampedLayerAlpha(-0.0f), 0.0f);
    EXPECT_EQ(clampedLayerAlpha(-3.0f), 0.0f);
    EXPECT_EQ(clampedLayerAlpha(std::numeric_limits<float>::infinity()), 1.0f);
    EXPECT_EQ(clampedLayerAlpha(std::numeric_limits<float>::quiet_NaN()), 0.0f);
}

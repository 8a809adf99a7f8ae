// AnimatedTexture: the image list from the sequence text, selection by the active image, its
// control fields and tracks, and the counts and keys the text may get wrong.
#include "material_fixture.h"

#include "scene/animated_texture.h"

#include <cmath>
#include <limits>

namespace {

class AnimatedTextureTest : public MaterialSceneTest {
protected:
    void SetUp() override
    {
        MaterialSceneTest::SetUp();
        writePicture("a.png", 3, 1);
        writePicture("b.png", 3, 2);
        writePicture("c.png", 4, 3);
        writePicture("own.png", 1, 4);
    }
    AnimatedTexture& animated(const std::string& text, float offset = 0.0f, float scale = 1.0f)
    {
        AnimatedTexture& created = scene->create<AnimatedTexture>(scene->nextId());
        created.name = "own.png";
        created.loadImages(text, offset, scale);
        return created;
    }
    IDirect3DTexture9* picture(const std::string& file) { return scene->stateCache().textureSlot(file).get(); }
};

constexpr const char* kThree = "images=3\ni0=a.png\ni1=b.png\ni2=c.png\n";

TEST_F(AnimatedTextureTest, TheActiveImageIsTruncatedAndWrapped)
{
    AnimatedTexture& t = animated(kThree);
    ASSERT_EQ(t.imageCount(), 3u);
    EXPECT_EQ(t.deviceTexture(), picture("a.png"));
    const struct {
        float active;
        const char* shows;
    } cases[] = {{4.7f, "b.png"}, {2.999f, "c.png"}, {0.5f, "a.png"},
                 // Below zero counts back from the end of the list.
                 {-1.0f, "c.png"}, {-0.5f, "a.png"}, {-4.2f, "c.png"},
                 // Beyond the integers and not a number: still inside the list.
                 {3.0e9f, "a.png"}, {-3.0e9f, "a.png"}, {std::numeric_limits<float>::quiet_NaN(), "a.png"},
                 {std::numeric_limits<float>::infinity(), "a.png"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.active);
        t.activeImage = c.active;
        t.refresh(false);
        EXPECT_EQ(t.deviceTexture(), picture(c.shows));
    }
    // 3e9 = 3 × 10⁹ is a multiple of 3; the wrap was exact.
    t.activeImage = 3.0e9f + 256.0f; // 3000000256 = 3 × 1000000085 + 1
    t.refresh(false);
    EXPECT_EQ(t.currentImage(), 1);
}

TEST_F(AnimatedTextureTest, HasAlphaIsTheLastLoadedImages)
{
    AnimatedTexture& t = animated(kThree);
    t.activeImage = 0;
    t.refresh(false);
    EXPECT_TRUE(t.hasAlpha()); // c.png, although a.png is shown
}

TEST_F(AnimatedTextureTest, WhatTheListHoldsWhenTheTextIsIncomplete)
{
    const struct {
        const char* what;
        const char* text;
        std::vector<const char*> images;
    } cases[] = {
        {"no count: its own picture", "i0=a.png\n", {"own.png"}},
        {"count 0", "images=0\ni0=a.png\n", {"own.png"}},
        {"negative count", "images=-5\ni0=a.png\n", {"own.png"}},
        {"keys the count does not reach", "images=1\ni0=a.png\ni1=b.png\n", {"a.png"}},
        {"missing and empty keys are left out", "images=5\ni0=a.png\ni1=\ni3=c.png\n", {"a.png", "c.png"}},
        {"keys in any order, spelled as %d only", "images=3\ni2=c.png\ni01=b.png\ni0=a.png\n", {"a.png", "c.png"}},
        {"a huge count names only what is there", "images=2147483647\ni1=b.png\n", {"b.png"}},
        {"every key missing: its own picture", "images=3\n", {"own.png"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AnimatedTexture& t = animated(c.text);
        ASSERT_EQ(t.imageCount(), c.images.size());
        for (std::size_t i = 0; i < c.images.size(); ++i) {
            t.selectImage(static_cast<int>(i));
            EXPECT_EQ(t.deviceTexture(), picture(c.images[i])) << i;
        }
    }
    EXPECT_TRUE(testShell.boxes.empty());
}

TEST_F(AnimatedTextureTest, ControlFieldsAndTracksOnTheLoadersTimeBase)
{
    AnimatedTexture& t = animated(std::string(kThree) +
                                      "animations=1\na0.field=Active Image\na0.keyframes=2\na0.kf0=0 0\na0.kf1=10 3\n",
                                  100.0f, 2.0f);
    EXPECT_EQ(t.controlField("Active Image"), &t.activeImage);
    EXPECT_EQ(t.controlField("Tex U Offset"), &t.uOffset);
    EXPECT_EQ(t.controlField("Tex V Offset"), &t.vOffset);
    EXPECT_EQ(t.controlField("Tex U Scale"), &t.uScale);
    EXPECT_EQ(t.controlField("Tex V Scale"), &t.vScale);
    EXPECT_TRUE(testShell.boxes.empty());

    // Keys at 100 and 120: at 110 the track writes 1.5, which shows image 1.
    ASSERT_EQ(scene->controllerCount(), 1u);
    scene->setLoaded(true);
    scene->animate(110.0f);
    EXPECT_FLOAT_EQ(t.activeImage, 1.5f);
    EXPECT_EQ(t.deviceTexture(), picture("b.png"));
}

TEST_F(AnimatedTextureTest, AnUnknownFieldReportsAndTheProgramGoesOn)
{
    AnimatedTexture& t = animated(kThree);
    EXPECT_EQ(t.controlField("active image"), nullptr);
    ASSERT_EQ(testShell.boxes.size(), 1u);
    EXPECT_EQ(testShell.boxes[0].caption, "Error");
    EXPECT_EQ(testShell.boxes[0].text, "Invalid control field in AnimatedTexture");
    // A track on it is created but writes nothing.
    AnimatedTexture& tracked =
        animated(std::string(kThree) + "animations=1\na0.field=Frame\na0.keyframes=1\na0.kf0=0 2\n");
    scene->setLoaded(true);
    scene->animate(5.0f);
    EXPECT_EQ(tracked.currentImage(), 0);
}

} // namespace

// Nodes: local and world matrices, bounds that add radius² and squared distance, the subtree
// refresh, the culled traversal with its stop-at-first-straddle rule, parents that name nothing
// or close a loop, and the control field.
#include "scene_fixture.h"

#include "scene/mesh.h"
#include "scene/transform.h"

#include <functional>

namespace {

class GroupTest : public SceneTest {
protected:
    Mesh& meshOfRadius(float radius)
    {
        Mesh& mesh = scene->create<Mesh>(scene->nextId());
        mesh.boundingRadius = radius;
        return mesh;
    }
    std::vector<std::string> submitted() const
    {
        std::vector<std::string> names;
        for (const std::string& line : log) {
            if (line.rfind("plain.submit ", 0) == 0) names.push_back(line.substr(13));
        }
        return names;
    }
};

TEST_F(GroupTest, LocalMatrixIsScaleThenRotationThenTranslation)
{
    Group& lone = node("lone");
    lone.transform.scale = D3DXVECTOR3(2, 3, 4);
    const D3DXVECTOR3 axis(0, 1, 0);
    D3DXQuaternionRotationAxis(&lone.transform.rotation, &axis, 0.7f);
    lone.transform.position = D3DXVECTOR3(5, -6, 7);
    lone.refresh(true);

    D3DXMATRIX s, r, t;
    D3DXMatrixScaling(&s, 2, 3, 4);
    D3DXMatrixRotationY(&r, 0.7f);
    D3DXMatrixTranslation(&t, 5, -6, 7);
    expectMatrixNear(lone.localMatrix(), s * r * t);
    // Without a parent the world matrix is the local one.
    EXPECT_EQ(lone.worldMatrix(), lone.localMatrix());
}

TEST_F(GroupTest, WorldIsLocalTimesTheParentsWorld)
{
    Group& root = node("root");
    root.transform.position = D3DXVECTOR3(10, 0, 0);
    const D3DXVECTOR3 axis(0, 0, 1);
    D3DXQuaternionRotationAxis(&root.transform.rotation, &axis, 1.5707964f);
    Group& child = node("child", root.id());
    child.transform = at(1, 0, 0);
    scene->setRoot(&root);
    scene->prepare();

    expectMatrixNear(child.worldMatrix(), child.localMatrix() * root.worldMatrix());
    EXPECT_NEAR(child.centre().x, 10.0f, 1e-5f);
    EXPECT_NEAR(child.centre().y, 1.0f, 1e-5f);
}

TEST_F(GroupTest, EveryChangeOfAnyTransformPartReachesTheMatricesOnTheNextRefresh)
{
    // Refreshes reuse a node's local matrix while its transform stays the same; a change of
    // any single number must still be seen, on the node refreshed itself and below a parent.
    Group& root = node("root");
    Group& child = node("child", root.id());
    scene->setRoot(&root);
    scene->prepare();
    const D3DXVECTOR3 axis(0, 0, 1);
    D3DXQUATERNION turned;
    D3DXQuaternionRotationAxis(&turned, &axis, 0.5f);
    const std::function<void(Transform&)> changes[] = {
        [](Transform& t) { t.position.x = 3.0f; },  [](Transform& t) { t.position.z = -2.0f; },
        [&](Transform& t) { t.rotation = turned; }, [](Transform& t) { t.scale.y = 0.25f; },
        [](Transform& t) { t.scale.y = 1.0f; },     [](Transform& t) { t.position = {0, 0, 0}; },
    };
    for (Group* changed : {&child, &root}) {
        int step = 0;
        for (const auto& change : changes) {
            change(changed->transform);
            root.refresh(true);
            expectMatrixNear(changed->localMatrix(), ::localMatrix(changed->transform));
            expectMatrixNear(child.worldMatrix(), ::localMatrix(child.transform) * ::localMatrix(root.transform));
            EXPECT_FALSE(HasFailure()) << changed->name << " step " << step++;
        }
    }
}

TEST_F(GroupTest, BoundsAddChildRadiusSquaredAndSquaredDistance)
{
    Group& root = node("root");
    root.transform.scale = D3DXVECTOR3(2, 2, 2);
    root.mesh = &meshOfRadius(1.0f);
    Group& child = node("child", root.id());
    child.transform = at(1.5f, 0, 0); // 3 units away once the parent's scale applies
    child.mesh = &meshOfRadius(0.5f);
    Group& bare = node("bare", root.id());
    bare.transform = at(0, 0.5f, 0);
    scene->setRoot(&root);
    scene->prepare();

    // The child's radius scales with the first row of its world matrix: 0.5 × 2.
    EXPECT_FLOAT_EQ(child.boundingRadiusSquared(), 1.0f);
    EXPECT_FLOAT_EQ(bare.boundingRadiusSquared(), 0.0f);
    // max(2², 1 + 3², 0 + 1²): smaller than the (1 + 3)² an enclosing sphere would need.
    EXPECT_FLOAT_EQ(root.boundingRadiusSquared(), 10.0f);
}

TEST_F(GroupTest, RefreshUpdatesTheSubtreeBeforeItsOwnBoundsButNotTheAncestors)
{
    Group& root = node("root");
    Group& middle = node("middle", root.id());
    Group& leaf = node("leaf", middle.id());
    leaf.transform = at(0, 4, 0);
    leaf.mesh = &meshOfRadius(1.0f);
    scene->setRoot(&root);
    scene->prepare();
    EXPECT_FLOAT_EQ(root.boundingRadiusSquared(), 17.0f);

    middle.transform = at(3, 0, 0);
    root.refresh(true);
    EXPECT_FLOAT_EQ(leaf.centre().x, 3.0f);
    EXPECT_FLOAT_EQ(middle.boundingRadiusSquared(), 17.0f);
    EXPECT_FLOAT_EQ(root.boundingRadiusSquared(), 26.0f);

    // A refresh lower down leaves the ancestors' bounds as they were.
    leaf.transform = at(0, 10, 0);
    middle.refresh(true);
    EXPECT_FLOAT_EQ(middle.boundingRadiusSquared(), 101.0f);
    EXPECT_FLOAT_EQ(root.boundingRadiusSquared(), 26.0f);

    // Refresh with false recomputes nothing.
    leaf.transform = at(0, 0, 0);
    leaf.refresh(false);
    EXPECT_FLOAT_EQ(leaf.centre().y, 10.0f);
}

TEST_F(GroupTest, CollectCullsSubtreesAndStopsAtTheFirstStraddledPlane)
{
    Group& root = node("root");
    Camera& cam = camera("cam");

    Group& straddling = node("straddling", root.id());
    straddling.transform = at(0.5f, 0, 0);
    straddling.mesh = &meshOfRadius(1.0f);

    // Culled although its child's own sphere reaches into the frustum: 2² + 9² < (2 + 9)².
    Group& culled = node("culled", root.id());
    culled.transform = at(-10, 0, 0);
    Group& hidden = node("hidden", culled.id());
    hidden.transform = at(9, 0, 0);
    hidden.mesh = &meshOfRadius(2.0f);

    scene->setRoot(&root);
    scene->setLoaded(true);
    scene->prepare();
    // Planes of our own (render would put the camera's back): x ≥ 0, then x ≤ −5, which
    // alone would reject everything right of −5.
    cam.frustum.planes = {};
    cam.frustum.planes[0] = D3DXPLANE(1, 0, 0, 0);
    cam.frustum.planes[1] = D3DXPLANE(-1, 0, 0, -5);
    root.collect(*scene->plainProcessor());
    EXPECT_EQ(submitted(), (std::vector<std::string>{"root", "straddling"}));
    ASSERT_TRUE(cam.frustum.containsSphere(hidden.centre(), 2.0f));
}

TEST_F(GroupTest, FrustumTestIsTrueAfterAllPlanesPassAndFalseOutsideAny)
{
    Frustum box;
    box.planes = {D3DXPLANE(1, 0, 0, 1),  D3DXPLANE(-1, 0, 0, 1), D3DXPLANE(0, 1, 0, 1),
                  D3DXPLANE(0, -1, 0, 1), D3DXPLANE(0, 0, 1, 1),  D3DXPLANE(0, 0, -1, 1)};
    struct Case {
        D3DXVECTOR3 centre;
        float radius;
        bool visible;
    };
    const Case cases[] = {
        {{0, 0, 0}, 0.5f, true},   {{0, 0, 3}, 0.5f, false}, {{0, 0, 3}, 2.5f, true},
        {{-3, 0, 0}, 1.0f, false}, {{0, 0, 0}, 0.0f, true},  {{0, 0, 1.5f}, 0.5f, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(box.containsSphere(c.centre, c.radius), c.visible)
            << c.centre.x << "," << c.centre.y << "," << c.centre.z << " r " << c.radius;
    }
}

TEST_F(GroupTest, AParentThatNamesNoNodeLeavesTheNodeOnItsOwn)
{
    Mesh& notANode = meshOfRadius(1.0f);
    for (int parentId : {42, notANode.id()}) {
        Group& orphan = node("orphan", parentId);
        orphan.transform = at(1, 2, 3);
        orphan.link();
        orphan.refresh(true);
        EXPECT_EQ(orphan.parent(), nullptr);
        EXPECT_EQ(orphan.worldMatrix(), orphan.localMatrix());
    }
}

TEST_F(GroupTest, ParentsThatWouldCloseALoopAreRefused)
{
    Group& self = node("self");
    self.setParentId(self.id());
    Group& a = node("a");
    Group& b = node("b", a.id());
    a.setParentId(b.id());
    scene->prepare();

    EXPECT_EQ(self.parentId(), -1);
    EXPECT_TRUE(self.children().empty());
    // a is linked first and refused; b then hangs below a.
    EXPECT_EQ(a.parentId(), -1);
    EXPECT_EQ(a.children(), std::vector<Group*>{&b});
    EXPECT_TRUE(b.children().empty());
    a.transform = at(0, 1, 0);
    a.refresh(true);
    EXPECT_FLOAT_EQ(b.centre().y, 1.0f);
}

TEST_F(GroupTest, ChainsDeeperThanTheLimitAreCutThere)
{
    std::vector<Group*> chain{&node("level 1")};
    while (chain.size() < Group::kMaxDepth + 10) chain.push_back(&node("deeper", chain.back()->id()));
    for (Group* level : chain) level->transform = at(0, 1, 0);
    scene->setRoot(chain.front());
    scene->prepare();

    EXPECT_EQ(chain[Group::kMaxDepth - 2]->children(), std::vector<Group*>{chain[Group::kMaxDepth - 1]});
    EXPECT_TRUE(chain[Group::kMaxDepth - 1]->children().empty());
    EXPECT_EQ(chain[Group::kMaxDepth]->parentId(), -1);
    EXPECT_FLOAT_EQ(chain[Group::kMaxDepth - 1]->centre().y, static_cast<float>(Group::kMaxDepth));
}

TEST_F(GroupTest, VisibilityIsTheOnlyControlField)
{
    Group& group = node("n");
    EXPECT_EQ(group.controlField("VISTRACK"), &group.visibility);
    for (const char* name : {"vistrack", "OPACITY", ""}) {
        EXPECT_EXIT(WITH_REAL_SHELL(group.controlField(name)), ::testing::ExitedWithCode(0),
                    "Error: Group: Invalid control field!")
            << name;
    }
}

} // namespace

#include "nevrik/scene3d/Universe.h"

#include "SceneProbes.h"

namespace nevrik::scene3d {
namespace {

using UniverseTest = SceneFixture;

// Counts its own destruction.
class CountedLocale : public Locale {
public:
    CountedLocale(Universe* universe, int* destroyed) : Locale(universe), mDestroyed(destroyed) {}
    ~CountedLocale() override { ++*mDestroyed; }

private:
    int* mDestroyed;
};

TEST_F(UniverseTest, LocalesJoinInOrderAndDieOnceWithTheUniverse) {
    Universe empty;
    EXPECT_EQ(empty.className(), "Object:Universe");
    EXPECT_EQ(empty.getDirtyNode().getKind(), 0u);
    EXPECT_EQ(empty.getDirtyNode().className(), "Object:Node");
    EXPECT_EQ(empty.getTimer().getStartValue(), 0);
    empty.update();

    int destroyed = 0;
    auto universe = object::make<Universe>();
    auto* first = universe->addLocale<CountedLocale>(&destroyed);
    auto* second = universe->addLocale<CountedLocale>(&destroyed);
    EXPECT_EQ(first->getReferenceCount(), 1);
    std::vector<Locale*> order;
    for (Locale* locale : universe->getLocales()) {
        order.push_back(locale);
    }
    EXPECT_EQ(order, (std::vector<Locale*>{first, second}));
    universe.reset();
    EXPECT_EQ(destroyed, 2);
}

TEST_F(UniverseTest, DyingUniverseLeavesSurvivingNodesAndLocalesNothingToReachBack) {
    auto* group = add<ProbeGroup>(mRoot, &mRecord);
    auto* leaf = add<ProbeGeometry>(group, &mRecord);
    const object::Pointer<Node> keptLeaf(leaf);
    // Detached behind its listed parent, the leaf stays listed.
    ASSERT_TRUE(group->removeChild(leaf));
    ASSERT_TRUE(leaf->isListed());
    const object::Pointer<Locale> keptLocale(mLocale);

    mUniverse.reset();
    EXPECT_FALSE(leaf->isListed());
    EXPECT_EQ(leaf->getDirtyNext(), nullptr);
    EXPECT_EQ(keptLocale->getUniverse(), nullptr);
    // Nodes of the orphaned locale take changes without listing anywhere.
    auto* other = add<Geometry>(group);
    EXPECT_TRUE(other->hasFlag(Node::FLAG_DIRTY));
    EXPECT_FALSE(other->isListed());
    EXPECT_EQ(other->getSpace(), &keptLocale->getGraphicsSpace());
    EXPECT_EQ(keptLocale->getGraphicsSpace().getCount(), 1);
}

}  // namespace
}  // namespace nevrik::scene3d

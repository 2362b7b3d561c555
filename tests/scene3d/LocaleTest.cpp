#include "nevrik/scene3d/Locale.h"

#include "nevrik/object/Exception.h"

#include "SceneProbes.h"

namespace nevrik::scene3d {
namespace {

using LocaleTest = SceneFixture;

TEST_F(LocaleTest, RefusesToBeMadeOutsideAUniverse) {
    try {
        Locale locale(nullptr);
        FAIL() << "no exception";
    } catch (const object::Exception& exception) {
        EXPECT_STREQ(exception.what(), "Locale: no universe");
    }
}

TEST_F(LocaleTest, AddRootAttachesTheTreeAndPutsActiveLeavesInTheGraphicsSpace) {
    auto root = object::make<Root>();
    auto* group = add<Group>(root.get());
    auto* shown = add<Geometry>(group);
    auto* hidden = add<Geometry>(group);
    hidden->disable();
    EXPECT_EQ(shown->getSpace(), nullptr);

    Locale* locale = mUniverse->addLocale();
    EXPECT_EQ(locale->getPosition(), math::Vector3<double>(0, 0, 0));
    EXPECT_EQ(mUniverse->getLocales().getLast(), locale);
    ASSERT_TRUE(locale->addRoot(root.get()));
    EXPECT_EQ(root->getReferenceCount(), 2);
    EXPECT_EQ(root->getLocale(), locale);
    EXPECT_EQ(shown->getLocale(), locale);
    EXPECT_EQ(locale->getGraphicsSpace().getCount(), 1);
    EXPECT_EQ(shown->getSpace(), &locale->getSpace<Graphics>());
    EXPECT_EQ(hidden->getSpace(), nullptr);
    // Everything below the root is listed for the next pass, parents first.
    EXPECT_EQ(dirtyList(*mUniverse).size(), 3u);
    EXPECT_TRUE(dirtyListIsSound(*mUniverse));
    EXPECT_FALSE(root->isListed());
}

TEST_F(LocaleTest, AddRootRefusesNullTwiceAnotherLocalesRootAndAChild) {
    EXPECT_FALSE(mLocale->addRoot(nullptr));
    EXPECT_FALSE(mLocale->addRoot(mRoot));
    Locale* other = mUniverse->addLocale();
    EXPECT_FALSE(other->addRoot(mRoot));
    auto nested = object::make<Root>();
    auto* holder = add<Group>(mRoot);
    ASSERT_TRUE(holder->addChild(nested.get()));
    EXPECT_FALSE(other->addRoot(nested.get()));
    EXPECT_EQ(mLocale->getRoots().getCount(), 1);
    EXPECT_TRUE(other->getRoots().isEmpty());
    EXPECT_EQ(mRoot->getReferenceCount(), 1);
}

TEST_F(LocaleTest, DyingLocaleDetachesRootsThatOutliveIt) {
    auto* leaf = add<ProbeGeometry>(mRoot, &mRecord);
    mUniverse->update();
    const object::Pointer<Root> kept(mRoot);
    const object::Pointer<Node> keptLeaf(leaf);
    mUniverse.reset();
    EXPECT_EQ(mRoot->getChain(), nullptr);
    EXPECT_EQ(mRoot->getLocale(), nullptr);
    EXPECT_EQ(leaf->getLocale(), nullptr);
    EXPECT_EQ(leaf->getSpace(), nullptr);
    EXPECT_EQ(leaf->getReferenceCount(), 2);
    EXPECT_EQ(mRecord.destroyed, 0);
    // The survivors work on their own and can hang into another universe.
    auto universe = object::make<Universe>();
    Locale* locale = universe->addLocale();
    ASSERT_TRUE(locale->addRoot(mRoot));
    EXPECT_EQ(locale->getGraphicsSpace().getCount(), 1);
}

}  // namespace
}  // namespace nevrik::scene3d

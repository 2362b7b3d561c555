#include "nevrik/graphics3d/Model.h"

#include "nevrik/graphics3d/StaticModel.h"
#include "nevrik/graphics3d/TypeWord.h"

#include "GlFixture.h"
#include "ModelData.h"

namespace nevrik::graphics3d {
namespace {

class ModelTest : public GlFixture {
protected:
    // A format of the named matrices, in order, given to the model.
    void useMatrices(std::initializer_list<const char*> names) {
        ParameterFormat format;
        for (const char* name : names) {
            format.add(name, TypeWord::kMatrix4);
        }
        mModel->setParameterFormat(format);
    }

    object::Pointer<StaticModel> mModel = object::Pointer<StaticModel>::adopt(new StaticModel());
};

TEST_F(ModelTest, MatrixOffsetPrefersModelViewThenModel) {
    EXPECT_EQ(mModel->getMatrixOffset(), -1);
    useMatrices({"view", "model", "modelview"});
    EXPECT_EQ(mModel->getMatrixOffset(), 128);
    useMatrices({"view", "model"});
    EXPECT_EQ(mModel->getMatrixOffset(), 64);
    EXPECT_EQ(mModel->getParameterFormat().getTotal(), 128u);
}

TEST_F(ModelTest, IntersectNeedsAWholeInvertibleMatrix) {
    const auto quad = meshOf(rectangle(-1, -1, 1, 1, 0));
    ASSERT_TRUE(quad->createCollider());
    mModel->addMesh(quad.get());
    const geometry::Ray ray({0, 0, 5}, {0, 0, -1});
    geometry::PickResult hit;

    useMatrices({"view"});
    EXPECT_FALSE(mModel->intersect(*blockOf(*mModel, math::Matrix4<float>()), ray, &hit));

    useMatrices({"model"});
    EXPECT_TRUE(mModel->intersect(*blockOf(*mModel, math::Matrix4<float>()), ray, &hit));
    math::Matrix4<float> flat;
    flat(2, 2) = 0.0f;  // squashes z: no inverse
    EXPECT_FALSE(mModel->intersect(*blockOf(*mModel, flat), ray, &hit));
    EXPECT_FALSE(mModel->intersect(*blockOf(*mModel, flat), ray, nullptr));

    // A block made before the matrix was added to the format is too short.
    ParameterFormat shortFormat;
    shortFormat.add("modelview", TypeWord::kFloat4);
    const auto shortBlock = object::Pointer<ParameterBuffer>::adopt(ParameterBuffer::create(&shortFormat));
    useMatrices({"modelview"});
    EXPECT_FALSE(mModel->intersect(*shortBlock, ray, &hit));
}

TEST_F(ModelTest, IntersectThroughAMovedModelFindsTheNearestMeshWithACollider) {
    // Model space: a far quad at z = -2, a near one at z = 0, and a nearer
    // one at z = 1 without a collider, which picking must not see.
    const auto far = meshOf(rectangle(-1, -1, 1, 1, -2));
    const auto near = meshOf(rectangle(-1, -1, 1, 1, 0));
    const auto unseen = meshOf(rectangle(-1, -1, 1, 1, 1));
    ASSERT_TRUE(far->createCollider());
    ASSERT_TRUE(near->createCollider());
    for (const auto& mesh : {far, near, unseen}) {
        mModel->addMesh(mesh.get());
    }
    mModel->complete();
    // Twice the size, moved to z = -5: x = 1.5 is on the quads only if the
    // scale is undone.
    math::Matrix4<float> placed = translation(0, 0, -5);
    for (int axis = 0; axis < 3; ++axis) {
        placed(axis, axis) = 2.0f;
    }
    const auto block = blockOf(*mModel, placed);
    // A direction of length 2: distances are parameters along this ray.
    const geometry::Ray ray({1.5f, 0.5f, 0}, {0, 0, -2});

    geometry::PickResult hit;
    ASSERT_TRUE(mModel->intersect(*block, ray, &hit));
    EXPECT_FLOAT_EQ(hit.distance, 2.5f);
    EXPECT_EQ(hit.mesh, near.get());
    EXPECT_EQ(hit.model, mModel.get());
    EXPECT_NEAR(hit.point.x, 1.5f, 1e-5f);
    EXPECT_NEAR(hit.point.y, 0.5f, 1e-5f);
    EXPECT_NEAR(hit.point.z, -5.0f, 1e-5f);
    EXPECT_TRUE(mModel->intersect(*block, ray, nullptr));

    geometry::PickResult missed;
    EXPECT_FALSE(mModel->intersect(*block, geometry::Ray({2.5f, 0, 0}, {0, 0, -1}), &missed));
    EXPECT_EQ(missed.model, nullptr);
    EXPECT_EQ(missed.mesh, nullptr);
}

TEST_F(ModelTest, BoundsSpanEveryCornerOfEveryMeshBox) {
    EXPECT_TRUE(mModel->updateBounds(false));
    EXPECT_EQ(mModel->getBounds().toBoundingBox().max, math::Vector3<float>(1, 1, 1));

    // A box turned 45 degrees about z reaches out to its corners, not to
    // the ends of its axes.
    const auto turned = meshOf(rectangle(-1, -1, 1, 1, 0));
    geometry::OrientedBox box;
    box.setAxis(0, {1, 1, 0});
    box.setAxis(1, {-1, 1, 0});
    box.setAxis(2, {0, 0, 0.5f});
    turned->setBounds(box);
    const auto offside = meshOf(rectangle(5, 0, 6, 1, 3));
    offside->setBounds(geometry::OrientedBox(geometry::BoundingBox<float>({5, 0, 3}, {6, 1, 3})));
    mModel->addMesh(turned.get());
    mModel->addMesh(offside.get());

    EXPECT_TRUE(mModel->updateBounds(false));
    EXPECT_EQ(mModel->getBounds().toBoundingBox().min, math::Vector3<float>(-2, -2, -0.5f));
    EXPECT_EQ(mModel->getBounds().toBoundingBox().max, math::Vector3<float>(6, 2, 3));

    // Refitting the meshes first gives the box of their vertices.
    EXPECT_TRUE(mModel->updateBounds(true));
    EXPECT_EQ(mModel->getBounds().toBoundingBox().min, math::Vector3<float>(-1, -1, 0));
    EXPECT_EQ(mModel->getBounds().toBoundingBox().max, math::Vector3<float>(6, 1, 3));
}

TEST_F(ModelTest, CreateCollidersReplacesOnlyMissingOnesUnlessForced) {
    const auto built = meshOf(rectangle(-1, -1, 1, 1, 0));
    const auto bare = meshOf(rectangle(-1, -1, 1, 1, 0));
    const auto empty = object::Pointer<VertexMesh>::adopt(new VertexMesh());
    ASSERT_TRUE(built->createCollider());
    const auto old = object::Pointer<geometry::MeshCollider3<float>>(built->getCollider());
    for (const auto& mesh : {built, bare, empty}) {
        mModel->addMesh(mesh.get());
    }

    EXPECT_TRUE(mModel->createColliders(false));
    EXPECT_EQ(built->getCollider(), old.get());
    EXPECT_NE(bare->getCollider(), nullptr);
    EXPECT_EQ(empty->getCollider(), nullptr);

    EXPECT_TRUE(mModel->createColliders(true));
    EXPECT_NE(built->getCollider(), old.get());
    EXPECT_EQ(old->getReferenceCount(), 1);
}

TEST_F(ModelTest, ClearReleasesEveryMeshAndAnimationOnceAndResets) {
    const auto mesh = meshOf(rectangle(2, 2, 3, 3, 4));
    const auto animation = object::Pointer<Animation>::adopt(new Animation());
    EXPECT_FALSE(mModel->addMesh(nullptr));
    EXPECT_FALSE(mModel->addAnimation(nullptr));
    ASSERT_TRUE(mModel->addMesh(mesh.get()));
    ASSERT_TRUE(mModel->addMesh(mesh.get()));
    ASSERT_TRUE(mModel->addAnimation(animation.get()));
    mModel->getJoints().append(Joint{});
    mModel->complete();
    mModel->setCompiled(true);
    EXPECT_EQ(mesh->getReferenceCount(), 3);

    mModel->clear();
    EXPECT_EQ(mesh->getReferenceCount(), 1);
    EXPECT_EQ(animation->getReferenceCount(), 1);
    EXPECT_EQ(mModel->getMatrixOffset(), -1);
    EXPECT_TRUE(mModel->getParameterFormat().getComponents().isEmpty());
    EXPECT_TRUE(mModel->getMeshes().isEmpty());
    EXPECT_TRUE(mModel->getAnimations().isEmpty());
    EXPECT_TRUE(mModel->getJoints().isEmpty());
    EXPECT_FALSE(mModel->isCompiled());
    EXPECT_EQ(mModel->getBounds().toBoundingBox().min, math::Vector3<float>(-1, -1, -1));

    // Clearing twice releases nothing more.
    mModel->clear();
    EXPECT_EQ(mesh->getReferenceCount(), 1);
}

}  // namespace
}  // namespace nevrik::graphics3d

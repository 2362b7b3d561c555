#include "nevrik/graphics3d/core/Model.h"

#include "nevrik/graphics3d/building/StaticModel.h"
#include "nevrik/graphics3d/core/TypeWord.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/ModelData.h"

namespace nevrik::graphics3d {
namespace {

class ModelTest : public GlFixture {
protected:
    // Gives the model a format of the named matrices, in order.
    void useMatrices(std::initializer_list<const char*> names) {
        ParameterFormat format;
        for (const char* name : names) {
            format.add(name, TypeWord::kMatrix4);
        }
        mModel->setParameterFormat(format);
    }

    object::Pointer<StaticModel> mModel = object::make<StaticModel>();
};

TEST_F(ModelTest, IntersectNeedsAWholeInvertibleMatrixNamedModelViewOrModel) {
    const auto quad = meshOf(rectangle(-1, -1, 1, 1, 0));
    ASSERT_TRUE(quad->createCollider());
    mModel->addMesh(quad.get());
    const geometry::Ray ray({0, 0, 5}, {0, 0, -1});
    const math::Matrix4<float> identity;
    geometry::PickResult hit;

    useMatrices({"view"});
    EXPECT_EQ(mModel->getMatrixOffset(), -1);
    EXPECT_FALSE(mModel->intersect(*blockOf(*mModel, identity), ray, &hit));

    useMatrices({"view", "model", "modelview"});
    EXPECT_EQ(mModel->getMatrixOffset(), 128);
    useMatrices({"view", "model"});
    EXPECT_EQ(mModel->getMatrixOffset(), 64);
    EXPECT_TRUE(mModel->intersect(*blockOf(*mModel, identity), ray, &hit));
    math::Matrix4<float> flat;
    flat(2, 2) = 0.0f;  // squashes z: no inverse
    EXPECT_FALSE(mModel->intersect(*blockOf(*mModel, flat), ray, &hit));
    EXPECT_FALSE(mModel->intersect(*blockOf(*mModel, flat), ray, nullptr));

    // A block of another, shorter format cannot hold the matrix.
    ParameterFormat shortFormat;
    shortFormat.add("model", TypeWord::kFloat4);
    const auto shortBlock = ParameterBuffer::create(&shortFormat);
    EXPECT_FALSE(mModel->intersect(*shortBlock, ray, &hit));
}

TEST_F(ModelTest, IntersectThroughAMovedModelFindsTheNearestMeshWithACollider) {
    // Model space: a far quad at z = -2, a near one at z = 0, and a nearer
    // one at z = 1 without a collider, which picking must not see.
    const auto far = meshOf(rectangle(-1, -1, 1, 1, -2));
    const auto near = meshOf(rectangle(-1, -1, 1, 1, 0));
    const auto unseen = meshOf(rectangle(-1, -1, 1, 1, 1));
    for (const auto& mesh : {far, near, unseen}) {
        ASSERT_TRUE(mesh == unseen || mesh->createCollider());
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
    EXPECT_NEAR(hit.point.z, -5.0f, 1e-5f);
    EXPECT_TRUE(mModel->intersect(*block, ray, nullptr));

    geometry::PickResult missed;
    EXPECT_FALSE(mModel->intersect(*block, geometry::Ray({2.5f, 0, 0}, {0, 0, -1}), &missed));
    EXPECT_EQ(missed.mesh, nullptr);
}

TEST_F(ModelTest, BoundsSpanEveryCornerOfEveryMeshBox) {
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

TEST_F(ModelTest, ClearReleasesEveryMeshAndAnimationOnceAndResets) {
    const auto mesh = meshOf(rectangle(2, 2, 3, 3, 4));
    const auto animation = object::make<Animation>();
    EXPECT_FALSE(mModel->addMesh(nullptr));
    ASSERT_TRUE(mModel->addMesh(mesh.get()));
    ASSERT_TRUE(mModel->addMesh(mesh.get()));
    ASSERT_TRUE(mModel->addAnimation(animation.get()));
    mModel->getJoints().append(Joint{});
    mModel->complete();
    EXPECT_EQ(mesh->getReferenceCount(), 3);

    for (int pass = 0; pass < 2; ++pass) {
        mModel->clear();
        EXPECT_EQ(mesh->getReferenceCount(), 1);
        EXPECT_EQ(animation->getReferenceCount(), 1);
    }
    EXPECT_EQ(mModel->getMatrixOffset(), -1);
    EXPECT_TRUE(mModel->getParameterFormat().getComponents().isEmpty());
    EXPECT_TRUE(mModel->getMeshes().isEmpty());
    EXPECT_TRUE(mModel->getJoints().isEmpty());
    EXPECT_EQ(mModel->getBounds().toBoundingBox().min, math::Vector3<float>(-1, -1, -1));
}

}  // namespace
}  // namespace nevrik::graphics3d

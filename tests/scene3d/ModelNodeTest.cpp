#include "nevrik/scene3d/ModelNode.h"

#include "nevrik/graphics3d/building/StaticModel.h"
#include "nevrik/graphics3d/core/TypeWord.h"

#include "SceneProbes.h"
#include "graphics3d/GlFixture.h"
#include "graphics3d/ModelData.h"

#include <cstring>
#include <initializer_list>
#include <utility>

namespace nevrik::scene3d {
namespace {

using Vec = math::Vector3<float>;
using Matrix = math::Matrix4<float>;

// The matrix in a 64-byte slot.
Matrix slotMatrix(const std::uint8_t* slot) {
    float elements[16];
    std::memcpy(elements, slot, sizeof elements);
    return Matrix(elements);
}

void expectSame(const Matrix& actual, const Matrix& expected) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(actual[i], expected[i]) << "element " << i;
    }
}

// A model of one 2 × 2 quad at z = 0 with a collider, and a parameter
// format of the given components.
object::Pointer<graphics3d::StaticModel> quadModel(
    std::initializer_list<std::pair<const char*, std::uint32_t>> components) {
    auto model = object::make<graphics3d::StaticModel>();
    const auto quad = graphics3d::meshOf(graphics3d::rectangle(-1, -1, 1, 1, 0));
    EXPECT_TRUE(quad->createCollider());
    model->addMesh(quad.get());
    model->updateBounds(true);
    graphics3d::ParameterFormat format;
    for (const auto& component : components) {
        format.add(component.first, component.second);
    }
    model->setParameterFormat(format);
    return model;
}

class ModelNodeTest : public graphics3d::GlFixture, protected Scene {
protected:
    static constexpr std::uint32_t kMatrix = graphics3d::TypeWord::kMatrix4;
};

TEST_F(ModelNodeTest, NullModelOrOneWithoutAMatrixDrawsNothingAndIsNeverHit) {
    auto* node = add<ModelNode>(mRoot, nullptr);
    EXPECT_EQ(node->className(), "Object:Node:Leaf:Graphics:Geometry:ModelNode");
    EXPECT_EQ(node->getKind(), 0x308u);
    EXPECT_EQ(node->getParameters(), nullptr);
    node->render(nullptr, Matrix());
    const geometry::Ray ray(Vec(0, 0, 5), Vec(0, 0, -1));
    geometry::PickResult result;
    EXPECT_FALSE(node->pick(ray, &result));
    EXPECT_EQ(result.node, nullptr);
    mUniverse->update();
    EXPECT_EQ(node->getWorldBounds().max, Vec(1, 1, 1));

    const auto model = quadModel({{"colour", graphics3d::TypeWord::kFloat4}});
    node->setModel(model.get());
    EXPECT_NE(node->getParameters(), nullptr);
    node->render(nullptr, Matrix());
    EXPECT_FALSE(node->pick(ray, &result));
    EXPECT_EQ(result.node, nullptr);
}

TEST_F(ModelNodeTest, SetModelFindsWholeMatrixSlotsAndSwapsReferencesOnce) {
    // A "view" of the wrong type must not be written as a matrix.
    const auto first =
        quadModel({{"view", graphics3d::TypeWord::kFloat4}, {"modelview", kMatrix}, {"model", kMatrix}});
    const auto second = quadModel({{"model", kMatrix}});
    auto* node = add<ModelNode>(mRoot, first.get());
    const std::uint8_t* data = node->getParameters()->getData();
    EXPECT_EQ(node->getViewParameter(), nullptr);
    EXPECT_EQ(node->getModelviewParameter(), data + 16);
    EXPECT_EQ(node->getModelParameter(), data + 80);
    mUniverse->update();
    EXPECT_EQ(node->getWorldBounds().min, Vec(-1, -1, 0));
    EXPECT_EQ(node->getWorldBounds().max, Vec(1, 1, 0));
    EXPECT_EQ(first->getReferenceCount(), 2);
    const object::Pointer<graphics3d::ParameterBuffer> buffer(node->getParameters());

    node->setModel(second.get());
    EXPECT_EQ(first->getReferenceCount(), 1);
    EXPECT_EQ(buffer->getReferenceCount(), 1);
    EXPECT_EQ(node->getModelviewParameter(), nullptr);
    EXPECT_NE(node->getModelParameter(), nullptr);
    const auto copy = object::Pointer<ModelNode>(static_cast<ModelNode*>(node->clone().get()));
    EXPECT_EQ(copy->getModel(), second.get());
    EXPECT_NE(copy->getParameters(), node->getParameters());
    node->setModel(node->getModel());  // the same model again stays alive throughout
    EXPECT_EQ(second->getReferenceCount(), 3);
    mUniverse.reset();
    EXPECT_EQ(second->getReferenceCount(), 2);
}

TEST_F(ModelNodeTest, RenderFillsEverySlotAndDrawsWithTheModelview) {
    const auto model = quadModel({{"modelview", kMatrix}, {"model", kMatrix}, {"view", kMatrix}});
    auto* node = add<ModelNode>(mRoot, model.get());
    node->setLocalTransform(translation(1, 2, 3));
    mUniverse->update();
    Matrix view;
    view.rotate(0.5f, Vec(0, 1, 0));
    view.setColumn(3, Vec(0, 0, -10));

    node->render(nullptr, view);
    const Matrix expected = view * translation(1, 2, 3);
    expectSame(slotMatrix(node->getModelviewParameter()), expected);
    expectSame(slotMatrix(node->getModelParameter()), translation(1, 2, 3));
    expectSame(slotMatrix(node->getViewParameter()), view);
    // OpenGL holds the transpose of the row-major matrix.
    float loaded[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, loaded);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_NEAR(loaded[4 * column + row], expected(row, column), 1e-5f);
        }
    }
}

TEST_F(ModelNodeTest, PickCarriesTheRayIntoTheModelAndNamesTheNode) {
    const auto model = quadModel({{"view", kMatrix}, {"modelview", kMatrix}});
    auto* node = add<ModelNode>(mRoot, model.get());
    node->setLocalTransform(translation(10, 0, -5));
    mUniverse->update();
    // A render left a view in the view slot; picking resets it.
    node->render(nullptr, translation(0, 0, -100));

    const geometry::Ray onQuad(Vec(10.5f, 0, 5), Vec(0, 0, -1));
    geometry::PickResult result;
    ASSERT_TRUE(node->pick(onQuad, &result));
    EXPECT_EQ(result.node, node);
    EXPECT_EQ(result.model, model.get());
    EXPECT_EQ(result.mesh, model->getMeshes()[0].get());
    EXPECT_FLOAT_EQ(result.distance, 10.0f);
    EXPECT_NEAR(result.point.z, -5.0f, 1e-5f);
    expectSame(slotMatrix(node->getViewParameter()), Matrix());
    expectSame(slotMatrix(node->getModelviewParameter()), translation(10, 0, -5));
    EXPECT_TRUE(node->pick(onQuad, nullptr));

    geometry::PickResult missed;
    EXPECT_FALSE(node->pick(geometry::Ray(Vec(0.5f, 0, 5), Vec(0, 0, -1)), &missed));
    EXPECT_EQ(missed.node, nullptr);
    // A singular transform has no inverse to carry the ray: no hit, no crash.
    Matrix flat = translation(10, 0, -5);
    flat(2, 2) = 0.0f;
    node->setLocalTransform(flat);
    node->markDirty();
    mUniverse->update();
    EXPECT_FALSE(node->pick(onQuad, &missed));
    EXPECT_EQ(missed.node, nullptr);

    // The node keeps its inverse between picks: moved again, it follows.
    node->setLocalTransform(translation(-20, 0, -5));
    node->markDirty();
    mUniverse->update();
    EXPECT_FALSE(node->pick(onQuad, nullptr));
    ASSERT_TRUE(node->pick(geometry::Ray(Vec(-19.5f, 0, 5), Vec(0, 0, -1)), &result));
    EXPECT_FLOAT_EQ(result.distance, 10.0f);
    EXPECT_NEAR(result.point.x, -19.5f, 1e-5f);
}

}  // namespace
}  // namespace nevrik::scene3d

#include "nevrik/graphics3d/building/StaticModel.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics3d/building/Optimiser.h"
#include "nevrik/graphics3d/building/UnsupportedPrimitiveException.h"
#include "nevrik/graphics3d/core/ColourMaterial.h"
#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/graphics3d/core/PlainShader.h"
#include "nevrik/graphics3d/core/Texture2D.h"
#include "nevrik/graphics3d/core/TextureShader.h"
#include "nevrik/graphics3d/core/TypeWord.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/ModelData.h"

#include <functional>
#include <utility>
#include <vector>

namespace nevrik::graphics3d {
namespace {

constexpr std::uint32_t kLit = FixedShader::kLighting;

// A material that shows `red`, `green`, `blue` under lighting with no light
// on: emission only.
object::Pointer<ColourMaterial> glowing(float red, float green, float blue) {
    auto material = object::make<ColourMaterial>();
    material->setColour(ColourMaterial::kAmbient, 0, 0, 0, 1);
    material->setColour(ColourMaterial::kEmission, red, green, blue, 1);
    return material;
}

object::Pointer<Appearance> appearanceOf(Material* material, Shader* shader, BlendMode* blend = nullptr) {
    auto appearance = object::make<Appearance>();
    appearance->setMaterial(material);
    appearance->setShader(shader);
    if (blend != nullptr) {
        appearance->setBlendMode(blend);
    }
    return appearance;
}

// Column `column` (0 to 3) of the 64 x 48 view as two triangles.
std::vector<float> column(int column) {
    const float x0 = -1.0f + 0.5f * static_cast<float>(column);
    return rectangle(x0, -1, x0 + 0.5f, 1, 0);
}

object::Pointer<IndexMesh> indexedColumn(int index) {
    auto mesh = object::make<IndexMesh>();
    mesh->setVertexBuffer(makePositions(column(index)).get(), 0);
    mesh->setIndexBuffer(makeIndices(2, {0, 1, 2, 3, 4, 5}).get());
    return mesh;
}

std::vector<std::uint8_t> readView() {
    std::vector<std::uint8_t> pixels(64 * 48 * 4);
    glReadPixels(0, 0, 64, 48, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Red, green and blue at the middle of each column, as "r,g,b r,g,b ...".
std::string columnColours() {
    std::string colours;
    for (int index = 0; index < 4; ++index) {
        GLubyte pixel[4] = {};
        glReadPixels(8 + 16 * index, 24, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        for (int channel = 0; channel < 3; ++channel) {
            colours += std::to_string(pixel[channel] / 64) + (channel < 2 ? "," : " ");
        }
    }
    return colours;
}

class StaticModelTest : public GlFixture {
protected:
    // Clears the view, draws the model with the identity model-view and
    // flushes the defer queue.
    void draw() {
        clearView();
        mModel->render(*blockOf(*mModel, math::Matrix4<float>()));
        mContext->getDeferQueue().flush();
    }

    object::Pointer<StaticModel> mModel = object::make<StaticModel>();
    object::Pointer<PlainShader> mPlain = object::make<PlainShader>(VertexFormat::kPositionArray, kLit);
    object::Pointer<BlendMode> mAdding = object::make<BlendMode>(GL_ONE, GL_ONE);
};

TEST_F(StaticModelTest, CompleteMakesOneModelViewMatrixThatUpdateWrites) {
    const auto mesh = meshOf(rectangle(0.5f, -1, 1, 0, 2));
    ASSERT_TRUE(mesh->updateBounds());
    mModel->addMesh(mesh.get());
    mModel->complete();
    const auto& components = mModel->getParameterFormat().getComponents();
    ASSERT_EQ(components.getCount(), 1);
    EXPECT_STREQ(components[0].name, "modelview");
    EXPECT_EQ(components[0].type, 0x00401024u);
    EXPECT_EQ(mModel->getParameterFormat().getTotal(), 64u);
    EXPECT_EQ(mModel->getMatrixOffset(), 0);
    EXPECT_EQ(mModel->getBounds().toBoundingBox().min, math::Vector3<float>(0.5f, -1, 2));

    const auto block = blockOf(*mModel, math::Matrix4<float>());
    const math::Matrix4<float> moved = translation(1, 2, 3);
    mModel->update(0.5f, *block, moved);
    EXPECT_EQ(std::memcmp(block->getData(), moved.getElements(), 64), 0);
}

TEST_F(StaticModelTest, UncompiledRenderDrawsOpaqueMeshesAndQueuesBlendedOnes) {
    const auto opaque = meshOf(column(0));
    const auto blended = meshOf(column(2));
    opaque->setAppearance(appearanceOf(glowing(1, 0, 0).get(), mPlain.get()).get());
    blended->setAppearance(appearanceOf(glowing(0, 1, 0).get(), mPlain.get(), mAdding.get()).get());
    mModel->addMesh(opaque.get());
    mModel->addMesh(blended.get());
    mModel->complete();

    clearView();
    const math::Matrix4<float> moved = translation(0.5f, 0, 0);
    mModel->render(*blockOf(*mModel, moved));
    EXPECT_EQ(columnColours(), "0,0,0 3,0,0 0,0,0 0,0,0 ");
    ASSERT_EQ(mContext->getDeferQueue().getCount(), 1);
    EXPECT_EQ(mContext->getDeferQueue().getEntry(0).first->mesh, blended.get());
    float loaded[16];
    glGetFloatv(GL_TRANSPOSE_MODELVIEW_MATRIX, loaded);
    EXPECT_EQ(std::memcmp(loaded, moved.getElements(), sizeof loaded), 0);
    mContext->getDeferQueue().flush();
    EXPECT_EQ(columnColours(), "0,0,0 3,0,0 0,0,0 0,3,0 ");

    // A block too short for a matrix draws and queues nothing.
    ParameterFormat shortFormat;
    shortFormat.add("modelview", TypeWord::kFloat4);
    clearView();
    mModel->render(*ParameterBuffer::create(&shortFormat));
    EXPECT_EQ(columnColours(), "0,0,0 0,0,0 0,0,0 0,0,0 ");
    EXPECT_EQ(mContext->getDeferQueue().getCount(), 0);
}

TEST_F(StaticModelTest, CompiledAndUncompiledDrawsGiveTheSamePixels) {
    auto image = object::make<graphics::Bitmap>(graphics::PIXEL_RGBA8, 2, 2);
    std::uint8_t* texels = image->lock();
    for (int texel = 0; texel < 4; ++texel) {
        const std::uint8_t blue[4] = {0, 0, 255, 255};
        std::memcpy(texels + 4 * texel, blue, 4);
    }
    image->unlock();
    const auto texture = Texture2D::create(*image, 1);
    const auto textured =
        object::make<TextureShader>(VertexFormat::kPositionArray | VertexFormat::kTextureArray, kLit);

    // Column 0: red, drawn from vertices; column 1: green through indices;
    // column 2: textured blue from a position and a coordinate buffer;
    // column 3: a blended half yellow through indices. Green's material
    // has the lower address, so the program draws red right after an
    // indexed draw: it must not draw red through green's indices.
    auto greenGlow = glowing(0, 1, 0);
    auto redGlow = glowing(1, 0, 0);
    if (std::less<const void*>()(redGlow.get(), greenGlow.get())) {
        std::swap(redGlow, greenGlow);
        greenGlow->setColour(ColourMaterial::kEmission, 0, 1, 0, 1);
        redGlow->setColour(ColourMaterial::kEmission, 1, 0, 0, 1);
    }
    const auto red = meshOf(column(0));
    red->setAppearance(appearanceOf(redGlow.get(), mPlain.get()).get());
    const auto green = indexedColumn(1);
    green->setAppearance(appearanceOf(greenGlow.get(), mPlain.get()).get());
    const auto blue = meshOf(column(2));
    blue->setVertexBuffer(makeVertices(TypeWord::kFloat2, VertexFormat::kTextureArray,
                                       std::vector<float>{0, 0, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1})
                              .get(),
                          1);
    const auto blueLook = appearanceOf(glowing(1, 1, 1).get(), textured.get());
    blueLook->setTexture(0, texture.get());
    blue->setAppearance(blueLook.get());
    const auto yellow = indexedColumn(3);
    yellow->setAppearance(appearanceOf(glowing(0.5f, 0.5f, 0).get(), mPlain.get(), mAdding.get()).get());
    for (const object::Pointer<VertexMesh>& mesh :
         {red, object::Pointer<VertexMesh>(green), blue, object::Pointer<VertexMesh>(yellow)}) {
        mModel->addMesh(mesh.get());
    }
    mModel->complete();

    draw();
    const std::vector<std::uint8_t> uncompiled = readView();
    EXPECT_EQ(columnColours(), "3,0,0 0,3,0 0,0,3 2,2,0 ");

    ASSERT_TRUE(mModel->optimise());
    mModel->setCompiled(true);
    ASSERT_EQ(mModel->getDeferred().getCount(), 1);
    EXPECT_EQ(mModel->getDeferred()[0].get(), yellow.get());
    ASSERT_EQ(mModel->getMeshes().getCount(), 4);
    EXPECT_EQ(mModel->getMeshes()[3].get(), yellow.get());
    // The rebuilt meshes carry boxes of their own: refitting without
    // recomputing them keeps the model's box.
    const geometry::BoundingBox<float> box = mModel->getBounds().toBoundingBox();
    ASSERT_TRUE(mModel->updateBounds(false));
    EXPECT_EQ(mModel->getBounds().toBoundingBox().min, box.min);
    EXPECT_EQ(mModel->getBounds().toBoundingBox().max, box.max);
    draw();
    EXPECT_TRUE(readView() == uncompiled) << "pixels differ";
    EXPECT_EQ(columnColours(), "3,0,0 0,3,0 0,0,3 2,2,0 ");

    // Drawn uncompiled, the rebuilt meshes show the same.
    mModel->setCompiled(false);
    draw();
    EXPECT_TRUE(readView() == uncompiled) << "pixels differ";
}

TEST_F(StaticModelTest, AllBlendedModelCompilesToAnEmptyProgramDefersEverythingAndClears) {
    const auto first = meshOf(column(0));
    const auto second = meshOf(column(1));
    for (const auto& mesh : {first, second}) {
        mesh->setAppearance(appearanceOf(glowing(0, 1, 0).get(), mPlain.get(), mAdding.get()).get());
        mModel->addMesh(mesh.get());
    }
    mModel->complete();
    ASSERT_TRUE(mModel->optimise());
    mModel->setCompiled(true);

    Optimiser empty;
    const object::Pointer<RenderStream> bare = empty.compile();
    const RenderStream* stream = mModel->getRenderStream();
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->getProgram()->getCode().getCount(), bare->getProgram()->getCode().getCount());
    EXPECT_TRUE(stream->getResources().isEmpty());
    EXPECT_EQ(mModel->getDeferred().getCount(), 2);
    EXPECT_EQ(mModel->getMeshes()[0].get(), first.get());

    clearView();
    mModel->render(*blockOf(*mModel, math::Matrix4<float>()));
    EXPECT_EQ(columnColours(), "0,0,0 0,0,0 0,0,0 0,0,0 ");
    ASSERT_EQ(mContext->getDeferQueue().getCount(), 2);
    mContext->getDeferQueue().flush();
    EXPECT_EQ(columnColours(), "0,3,0 0,3,0 0,0,0 0,0,0 ");

    const object::Pointer<RenderStream> kept(mModel->getRenderStream());
    mModel->getMatrices().append(math::Matrix4<float>());
    EXPECT_EQ(first->getReferenceCount(), 3);
    mModel->clear();
    EXPECT_EQ(first->getReferenceCount(), 1);
    EXPECT_EQ(kept->getReferenceCount(), 1);
    EXPECT_TRUE(mModel->getDeferred().isEmpty());
    EXPECT_TRUE(mModel->getMatrices().isEmpty());
}

TEST_F(StaticModelTest, FailedOptimiseLeavesTheModelAsItWas) {
    const auto fan = meshOf(std::vector<float>(3 * (MeshSplitter::kDefaultMaxVertices + 1)));
    fan->setPrimitive(GL_TRIANGLE_FAN);
    const auto plain = meshOf(column(0));
    mModel->addMesh(plain.get());
    mModel->addMesh(fan.get());
    EXPECT_THROW(mModel->optimise(), UnsupportedPrimitiveException);
    ASSERT_EQ(mModel->getMeshes().getCount(), 2);
    EXPECT_EQ(mModel->getMeshes()[1].get(), fan.get());
    EXPECT_EQ(mModel->getRenderStream(), nullptr);
    EXPECT_EQ(plain->getReferenceCount(), 2);
}

}  // namespace
}  // namespace nevrik::graphics3d

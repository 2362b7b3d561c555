#include "nevrik/graphics3d/core/ModelStage.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics3d/core/Appearance.h"
#include "nevrik/graphics3d/core/PlainShader.h"
#include "nevrik/graphics3d/core/TypeWord.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/ModelData.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace nevrik::graphics3d {
namespace {

// A cube of half side `half` around `centre`, twelve triangles.
std::vector<float> cube(const math::Vector3<float>& centre, float half) {
    std::vector<float> xyz;
    for (int axis = 0; axis < 3; ++axis) {
        for (float side : {-half, half}) {
            // The face's four corners: the other two axes at -half and +half.
            float corners[4][3];
            for (int corner = 0; corner < 4; ++corner) {
                corners[corner][axis] = centre[axis] + side;
                corners[corner][(axis + 1) % 3] =
                    centre[(axis + 1) % 3] + (corner == 1 || corner == 2 ? half : -half);
                corners[corner][(axis + 2) % 3] = centre[(axis + 2) % 3] + (corner >= 2 ? half : -half);
            }
            for (int corner : {0, 1, 2, 0, 2, 3}) {
                xyz.insert(xyz.end(), corners[corner], corners[corner] + 3);
            }
        }
    }
    return xyz;
}

// The readers' layout: one model-view matrix, loaded before the meshes draw.
class MeshModel : public Model {
public:
    explicit MeshModel(const std::vector<float>& xyz) {
        ParameterFormat format;
        format.add(kModelViewName, TypeWord::kMatrix4);
        setParameterFormat(format);
        auto mesh = meshOf(xyz);
        // Unlit white: the shader switches the position array on.
        auto appearance = object::make<Appearance>();
        appearance->setShader(object::make<PlainShader>(VertexFormat::kPositionArray, 0).get());
        mesh->setAppearance(appearance.get());
        addMesh(mesh.get());
        updateBounds(true);
    }

    void render(const ParameterBuffer& parameters) override {
        math::Matrix4<float> modelView;
        ASSERT_TRUE(readMatrix(parameters, modelView));
        Context::current()->getMatrixStack().load(modelView);
        for (const object::Pointer<Mesh>& mesh : getMeshes()) {
            mesh->draw();
        }
    }
};

struct Pixel {
    int red, green, blue;
    bool operator==(const Pixel& other) const {
        return std::abs(red - other.red) <= 1 && std::abs(green - other.green) <= 1 &&
               std::abs(blue - other.blue) <= 1;
    }
};

Pixel pixelAt(graphics::Image& image, int x, int y) {
    const std::uint8_t* pixel = image.lock() + y * image.getPitch() + x * 4;
    image.unlock();
    return {pixel[0], pixel[1], pixel[2]};
}

Pixel background(const ModelStage& stage) {
    const float* colour = stage.getBackground();
    return {static_cast<int>(std::lround(colour[0] * 255)), static_cast<int>(std::lround(colour[1] * 255)),
            static_cast<int>(std::lround(colour[2] * 255))};
}

using ModelStageTest = GlFixture;

// The drawn pixels' extent: width and height, 0 x 0 when none.
struct Extent {
    int width = 0;
    int height = 0;
};

Extent drawnExtent(graphics::Image& image, const Pixel& empty) {
    int left = image.getWidth(), right = -1, top = image.getHeight(), bottom = -1;
    for (int y = 0; y < image.getHeight(); ++y) {
        for (int x = 0; x < image.getWidth(); ++x) {
            if (!(pixelAt(image, x, y) == empty)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? Extent{} : Extent{right - left + 1, bottom - top + 1};
}

using ModelStageTest = GlFixture;

// Cubes anywhere, of any size, seen from any side, in targets of several shapes:
// the whole cube is in view (the target's corners, outside the sphere around
// it, stay background), it is not lost in the middle (its centre pixel is
// drawn and it spans over half the narrower side), the camera orbits the
// cube's own centre (an orbit about the origin takes far cubes out of view),
// and from the front the cube shows square whatever the target's shape.
TEST_F(ModelStageTest, FramesAnyCubeTurnedAnyWayInTargetsOfAnyShape) {
    std::mt19937 random(20);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    const int shapes[][2] = {{64, 48}, {48, 48}, {24, 48}, {64, 17}};
    for (int trial = 0; trial < 40; ++trial) {
        const math::Vector3<float> centre(unit(random) * 1000, unit(random) * 1000, unit(random) * 1000);
        const float half = std::pow(10.0f, 3.0f * unit(random));
        ModelStage stage(object::make<MeshModel>(cube(centre, half)).get());
        math::Matrix4<float> rotation;
        rotation.rotate(3.0f * unit(random), math::Vector3<float>(unit(random), unit(random), 1.0f));
        const int width = shapes[trial % 4][0];
        const int height = shapes[trial % 4][1];
        SCOPED_TRACE(::testing::Message() << "trial " << trial << ", " << width << " x " << height);
        const Pixel empty = background(stage);

        const Extent square = drawnExtent(*stage.renderImage(width, height), empty);
        EXPECT_LE(std::abs(square.width - square.height), 2) << square.width << " x " << square.height;
        stage.setOrbit(rotation);
        object::Pointer<graphics::Image> image = stage.renderImage(width, height);
        ASSERT_TRUE(image);
        ASSERT_EQ(image->getWidth(), width);
        ASSERT_EQ(image->getHeight(), height);
        ASSERT_EQ(image->getFormat(), graphics::PIXEL_RGBA8);
        for (int corner = 0; corner < 4; ++corner) {
            EXPECT_EQ(pixelAt(*image, corner % 2 * (width - 1), corner / 2 * (height - 1)), empty) << corner;
        }
        EXPECT_FALSE(pixelAt(*image, width / 2, height / 2) == empty);
        const Extent turned = drawnExtent(*image, empty);
        EXPECT_GT(std::max(turned.width, turned.height), std::min(width, height) / 2);
    }
}

// Nothing to show (no model, a model of no size) is the background alone;
// sizes below a pixel draw nothing; the light is in slot 0 while the stage
// lives and leaves it with the stage.
TEST_F(ModelStageTest, EmptyStagesShowTheBackgroundAndTheLightLeavesWithTheStage) {
    const object::Pointer<Model> models[] = {nullptr, object::make<MeshModel>(std::vector<float>(9, 5.0f))};
    for (const object::Pointer<Model>& model : models) {
        auto stage = object::make<ModelStage>(model.get());
        stage->setBackground(1.0f, 0.5f, 0.0f);
        const object::Pointer<graphics::Image> image = stage->renderImage(64, 48);
        ASSERT_TRUE(image);
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                ASSERT_EQ(pixelAt(*image, x, y), (Pixel{255, 128, 0})) << x << ", " << y;
            }
        }
        EXPECT_FALSE(stage->renderImage(0, 48));
        EXPECT_FALSE(stage->renderImage(64, -1));
        EXPECT_EQ(mContext->getLightStack().get(0), &stage->getLight());
        stage.reset();
        EXPECT_EQ(mContext->getLightStack().get(0), nullptr);
    }
}

}  // namespace
}  // namespace nevrik::graphics3d

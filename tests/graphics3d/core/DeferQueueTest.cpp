#include "nevrik/graphics3d/core/DeferQueue.h"

#include "nevrik/graphics3d/core/Appearance.h"
#include "nevrik/graphics3d/core/Mesh.h"
#include "nevrik/graphics3d/core/PlainShader.h"

#include "graphics3d/GlFixture.h"

#include <string>
#include <utility>

namespace nevrik::graphics3d {
namespace {

std::string sLog;

// Logs, when drawn, its name, whether it still had its appearance, and the
// blend mode, depth mode and shader in force.
struct RecordingMesh : Mesh {
    bool draw() override {
        const Context& context = *Context::peek();
        sLog += std::string(getName().c_str()) + (getAppearance() != nullptr ? "+appearance" : "") + " " +
                nameOf(context.getCurrentBlendMode()) + " " + nameOf(context.getCurrentDepthMode()) + " " +
                nameOf(context.getCurrentShader()) + "; ";
        return true;
    }
    object::Pointer<geometry::TriangleMesh3<float>> createTriangleMesh() const override { return nullptr; }

    static std::string nameOf(const Resource* state) { return state ? state->getName().c_str() : "-"; }
};

// A new T made from `arguments`, named `name`.
template <class T, class... Arguments>
object::Pointer<T> named(const char* name, Arguments&&... arguments) {
    auto made = object::make<T>(std::forward<Arguments>(arguments)...);
    made->setName(name);
    return made;
}

class DeferQueueTest : public GlFixture {
protected:
    void SetUp() override {
        GlFixture::SetUp();
        sLog.clear();
    }

    DeferQueue& queue() { return mContext->getDeferQueue(); }

    const math::Matrix4<float> mIdentity;
    object::Pointer<RecordingMesh> mFirst = named<RecordingMesh>("first");
    object::Pointer<RecordingMesh> mSecond = named<RecordingMesh>("second");
    object::Pointer<BlendMode> mAdding = named<BlendMode>("adding", GL_ONE, GL_ONE);
    object::Pointer<BlendMode> mMixing = named<BlendMode>("mixing", GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    object::Pointer<DepthMode> mDepth = named<DepthMode>("depth");
};

TEST_F(DeferQueueTest, FlushDrawsInQueueOrderOnceAndTheStatesOfQueueTime) {
    const auto shader = named<PlainShader>("plain", VertexFormat::kPositionArray);
    EXPECT_TRUE(queue().add(mSecond.get(), mIdentity));
    mContext->apply(*mAdding);
    mContext->apply(*mDepth);
    ASSERT_TRUE(shader->bind());
    EXPECT_TRUE(queue().add(mFirst.get(), mIdentity));
    EXPECT_FALSE(queue().add(nullptr, mIdentity));
    // Other states in force at flush time.
    mContext->apply(*mMixing);
    mContext->releaseShaderAndArrays();
    queue().flush();
    EXPECT_EQ(sLog, "second mixing depth -; first adding depth plain; ");
    EXPECT_EQ(integer(GL_BLEND_DST_RGB), GL_ONE);
    EXPECT_EQ(queue().getCount(), 0);
    queue().flush();
    EXPECT_EQ(sLog, "second mixing depth -; first adding depth plain; ") << "a second flush draws nothing";
}

TEST_F(DeferQueueTest, AppearanceStatesWinAndTheAppearanceIsDetachedForTheDraw) {
    auto appearance = named<Appearance>("look");
    appearance->setBlendMode(mMixing.get());
    appearance->setShader(nullptr);
    mFirst->setAppearance(appearance.get());
    mContext->apply(*mAdding);
    mContext->apply(*mDepth);
    queue().add(mFirst.get(), mIdentity);
    appearance->setBlendMode(mAdding.get());  // resolved already
    queue().flush();
    EXPECT_EQ(sLog, "first mixing depth -; ");
    EXPECT_EQ(mFirst->getAppearance(), appearance.get());
    EXPECT_EQ(appearance->getReferenceCount(), 2);
}

TEST_F(DeferQueueTest, EachMeshGetsItsMatrixAndViewDepth) {
    mFirst->setBounds(geometry::OrientedBox(geometry::BoundingBox<float>({-1, -1, -4}, {1, 1, -2})));
    math::Matrix4<float> modelView;
    modelView(0, 3) = 1.0f;
    modelView(2, 3) = -7.0f;
    queue().add(mSecond.get(), mIdentity);
    queue().add(mFirst.get(), modelView);
    EXPECT_EQ(queue().getEntry(0).second, 0.0f);
    EXPECT_EQ(queue().getEntry(1).second, -10.0f);
    queue().flush();
    float loaded[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, loaded);
    EXPECT_EQ(loaded[12], 1.0f) << "the last entry's matrix, transposed";
    EXPECT_EQ(loaded[14], -7.0f);
}

TEST_F(DeferQueueTest, PoolGrowsInBlocksOf64AndIsReusedAfterAFlush) {
    for (int frame = 0; frame < 2; ++frame) {
        for (int i = 0; i < 65; ++i) {
            queue().add(mFirst.get(), mIdentity);
        }
        EXPECT_EQ(queue().getPoolSize(), 128);
        queue().flush();
    }
}

}  // namespace
}  // namespace nevrik::graphics3d

#include "nevrik/graphics3d/DeferQueue.h"

#include "nevrik/graphics3d/Appearance.h"
#include "nevrik/graphics3d/Mesh.h"
#include "nevrik/graphics3d/PlainShader.h"

#include "GlFixture.h"

#include <string>

namespace nevrik::graphics3d {
namespace {

std::string sLog;

// Logs, when drawn, its name, whether it still had its appearance, and the
// blend and depth modes and shader then current.
class RecordingMesh : public Mesh {
public:
    bool draw() override {
        const Context& context = *Context::peek();
        sLog += getName().c_str();
        sLog += getAppearance() != nullptr ? "+appearance" : "";
        sLog += " blend " + nameOf(context.getCurrentBlendMode());
        sLog += " depth " + nameOf(context.getCurrentDepthMode());
        sLog += " shader " + nameOf(context.getCurrentShader());
        sLog += "; ";
        return true;
    }
    geometry::TriangleMesh3<float>* createTriangleMesh() const override { return nullptr; }

    static std::string nameOf(const Resource* state) { return state ? state->getName().c_str() : "none"; }
};

template <class T>
object::Pointer<T> named(T* object, const char* name) {
    object->setName(name);
    return object::Pointer<T>::adopt(object);
}

class DeferQueueTest : public GlFixture {
protected:
    void SetUp() override {
        GlFixture::SetUp();
        sLog.clear();
    }

    DeferQueue& queue() { return mContext->getDeferQueue(); }

    object::Pointer<RecordingMesh> mFirst = named(new RecordingMesh(), "first");
    object::Pointer<RecordingMesh> mSecond = named(new RecordingMesh(), "second");
    object::Pointer<BlendMode> mAdding = named(new BlendMode(GL_ONE, GL_ONE), "adding");
    object::Pointer<BlendMode> mMixing = named(new BlendMode(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA), "mixing");
    object::Pointer<DepthMode> mDepth = named(new DepthMode(), "depth");
};

TEST_F(DeferQueueTest, FlushDrawsInQueueOrderOnceAndEmptiesTheQueue) {
    const math::Matrix4<float> identity;
    EXPECT_TRUE(queue().add(mSecond.get(), identity));
    EXPECT_TRUE(queue().add(mFirst.get(), identity));
    EXPECT_TRUE(queue().add(mSecond.get(), identity));
    EXPECT_FALSE(queue().add(nullptr, identity));
    EXPECT_EQ(queue().getCount(), 3);
    queue().flush();
    EXPECT_EQ(sLog,
              "second blend none depth none shader none; first blend none depth none shader none; "
              "second blend none depth none shader none; ");
    EXPECT_EQ(queue().getCount(), 0);
    queue().flush();
    EXPECT_EQ(sLog.size(), std::string("second blend none depth none shader none; ").size() * 2 +
                               std::string("first blend none depth none shader none; ").size());
}

TEST_F(DeferQueueTest, WithoutAppearanceTheStatesOfQueueTimeAreSent) {
    const auto shader = named(new PlainShader(Context::kPositionArray), "plain");
    mContext->apply(*mAdding);
    mContext->apply(*mDepth);
    ASSERT_TRUE(shader->bind());
    queue().add(mFirst.get(), math::Matrix4<float>());
    // Flush time has other states in force.
    mContext->apply(*mMixing);
    mContext->releaseShaderAndArrays();
    queue().flush();
    EXPECT_EQ(sLog, "first blend adding depth depth shader plain; ");
    EXPECT_EQ(mContext->getCurrentBlendMode(), mAdding.get());
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &source);
    EXPECT_EQ(source, GL_ONE);
}

TEST_F(DeferQueueTest, AppearanceStatesWinAndTheAppearanceIsDetachedForTheDraw) {
    auto appearance = named(new Appearance(), "look");
    appearance->setBlendMode(mMixing.get());
    appearance->setShader(nullptr);
    mFirst->setAppearance(appearance.get());
    mContext->apply(*mAdding);
    mContext->apply(*mDepth);
    queue().add(mFirst.get(), math::Matrix4<float>());
    // The appearance's blend mode was resolved at queue time.
    appearance->setBlendMode(mAdding.get());
    mContext->forgetStates();
    queue().flush();
    EXPECT_EQ(sLog, "first blend mixing depth depth shader none; ");
    EXPECT_EQ(mFirst->getAppearance(), appearance.get());
    EXPECT_EQ(appearance->getReferenceCount(), 2);
}

TEST_F(DeferQueueTest, EachMeshGetsItsMatrixAndDepth) {
    mFirst->setBounds(geometry::OrientedBox(geometry::BoundingBox<float>({-1, -1, -4}, {1, 1, -2})));
    math::Matrix4<float> modelView;
    modelView(0, 3) = 1.0f;
    modelView(1, 3) = 2.0f;
    modelView(2, 3) = -7.0f;
    queue().add(mFirst.get(), modelView);
    queue().add(mSecond.get(), math::Matrix4<float>());
    EXPECT_EQ(queue().getEntry(0).second, -10.0f);
    EXPECT_EQ(queue().getEntry(1).second, 0.0f);
    EXPECT_EQ(queue().getEntry(0).first->depth, -10.0f);
    // The second entry's identity is loaded last; the first one's reached
    // OpenGL before it, transposed.
    queue().flush();
    float loaded[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, loaded);
    EXPECT_EQ(loaded[12], 0.0f);
    queue().add(mFirst.get(), modelView);
    queue().flush();
    glGetFloatv(GL_MODELVIEW_MATRIX, loaded);
    EXPECT_EQ(loaded[12], 1.0f);
    EXPECT_EQ(loaded[13], 2.0f);
    EXPECT_EQ(loaded[14], -7.0f);
}

TEST_F(DeferQueueTest, PoolGrowsInBlocksOf64AndIsReusedAfterAFlush) {
    const math::Matrix4<float> identity;
    for (int i = 0; i < 65; ++i) {
        queue().add(mFirst.get(), identity);
    }
    EXPECT_EQ(queue().getPoolSize(), 128);
    queue().flush();
    for (int i = 0; i < 65; ++i) {
        queue().add(mFirst.get(), identity);
    }
    EXPECT_EQ(queue().getPoolSize(), 128);
    EXPECT_EQ(queue().getCount(), 65);
    queue().flush();
    EXPECT_EQ(queue().getCount(), 0);
}

}  // namespace
}  // namespace nevrik::graphics3d

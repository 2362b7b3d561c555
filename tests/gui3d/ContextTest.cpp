#include "nevrik/gui3d/Context.h"

#include "gui3d/GuiFixture.h"
#include "nevrik/object/Exception.h"

#include <cmath>
#include <set>
#include <tuple>

namespace nevrik::gui3d {
namespace {

using object::Pointer;

// A vertex as feedback reports it: window position (y upwards) and texture
// coordinates, rounded to 1/1024 so that sets compare them.
using Vertex = std::tuple<long, long, long, long>;

Vertex vertex(float x, float y, float s, float t) {
    const auto fixed = [](float value) { return std::lround(value * 1024.0f); };
    return {fixed(x), fixed(y), fixed(s), fixed(t)};
}

class ContextTest : public testing::GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        if (!HasFatalFailure()) {
            mMap = Pointer<FontMap>::adopt(FontMap::create(*dejaVu()));
        }
    }

    // The vertices that `draw` sends, in window coordinates, between begin() and end().
    template <class Draw>
    std::set<Vertex> feedback(Context& context, Draw draw) {
        std::vector<GLfloat> buffer(1 << 16);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        context.begin();
        draw();
        context.end();
        const GLint count = glRenderMode(GL_RENDER);
        // Polygon tokens, each with its vertex count, then per vertex x y z,
        // red green blue alpha, s t r q.
        std::set<Vertex> vertices;
        for (GLint i = 0; i < count;) {
            EXPECT_EQ(buffer[i], static_cast<GLfloat>(GL_POLYGON_TOKEN));
            const int corners = static_cast<int>(buffer[i + 1]);
            i += 2;
            for (int corner = 0; corner < corners; ++corner, i += 11) {
                vertices.insert(vertex(buffer[i], buffer[i + 1], buffer[i + 7], buffer[i + 8]));
            }
        }
        return vertices;
    }

    // The four corners of code `code`'s quad with the pen at `pen` on baseline `y`.
    std::set<Vertex> quad(unsigned char code, float pen, float y) const {
        const FontMap::Glyph& g = mMap->getGlyph(code);
        const float left = std::floor(pen + g.left);
        const auto up = [](float rootY) { return kHeight - rootY; };
        return {vertex(left, up(y - g.top), g.s0, g.t0), vertex(left + g.width, up(y - g.top), g.s1, g.t0),
                vertex(left + g.width, up(y + g.bottom), g.s1, g.t1), vertex(left, up(y + g.bottom), g.s0, g.t1)};
    }

    Pointer<FontMap> mMap;
};

TEST_F(ContextTest, RefusesANullRenderingContext) {
    EXPECT_THROW(Context(nullptr), object::Exception);
}

TEST_F(ContextTest, BeginSetsUpPixelDrawingAndEndGivesTheSceneItsMatricesBack) {
    Context context(mContext);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    mContext->apply(mContext->getDefaultBlendMode());
    GLfloat projection[16];
    GLfloat modelView[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);

    context.begin();
    EXPECT_EQ(context.getWidth(), kWidth);
    EXPECT_EQ(context.getHeight(), kHeight);
    EXPECT_EQ(mContext->getCurrentBlendMode(), nullptr) << "the scene's states must be applied again";
    GLfloat ortho[16];
    glGetFloatv(GL_PROJECTION_MATRIX, ortho);
    EXPECT_FLOAT_EQ(ortho[0], 2.0f / kWidth);
    EXPECT_FLOAT_EQ(ortho[5], -2.0f / kHeight) << "y downwards";
    EXPECT_FLOAT_EQ(ortho[12], -1.0f);
    EXPECT_FLOAT_EQ(ortho[13], 1.0f);
    GLfloat identity[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, identity);
    EXPECT_FLOAT_EQ(identity[12], 0.0f);
    for (GLenum state : {GL_DEPTH_TEST, GL_LIGHTING, GL_CULL_FACE, GL_TEXTURE_2D, GL_COLOR_MATERIAL}) {
        EXPECT_FALSE(glIsEnabled(state)) << state;
    }
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    GLint value = 0;
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_FLAT);
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_FALSE);

    context.end();
    GLfloat after[16];
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    EXPECT_TRUE(std::equal(after, after + 16, projection));
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_TRUE(std::equal(after, after + 16, modelView));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_TRUE) << "or the next frame could not clear the depth buffer";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ContextTest, TextIsOneQuadPerByteWithWholePixelLeftsAndAnUnroundedPen) {
    ASSERT_TRUE(mMap);
    Context context(mContext);
    context.setCurrentFontMap(mMap.get());
    const float x = 10.5f;
    const float y = 100.0f;
    const std::set<Vertex> drawn =
        feedback(context, [&] { EXPECT_FALSE(context.drawText({x, y}, types::String("A\xE9j"))); });
    std::set<Vertex> expected = quad('A', x, y);
    const float afterA = x + mMap->getGlyph('A').advance;
    for (const std::set<Vertex>& more : {quad(0xE9, afterA, y), quad('j', afterA + mMap->getGlyph(0xE9).advance, y)}) {
        expected.insert(more.begin(), more.end());
    }
    EXPECT_EQ(drawn, expected);
    EXPECT_EQ(drawn.size(), 12u);
}

TEST_F(ContextTest, BatchesStayOpenUntilTheKindOrTheFontChanges) {
    ASSERT_TRUE(mMap);
    Pointer<FontMap> other = Pointer<FontMap>::adopt(FontMap::create(*dejaVu()));
    Context context(mContext);
    context.begin();
    EXPECT_FALSE(context.drawText({0, 0}, "no map"));
    EXPECT_EQ(context.getBatch(), Context::kNoBatch) << "nothing to draw with";
    context.setCurrentFontMap(mMap.get());
    context.drawText({0, 20}, "");
    EXPECT_EQ(context.getBatch(), Context::kTextBatch) << "open even for empty text";
    context.drawText({0, 40}, "more");
    context.setCurrentFontMap(mMap.get());
    EXPECT_EQ(context.getBatch(), Context::kTextBatch);
    context.setCurrentFontMap(other.get());
    EXPECT_EQ(context.getBatch(), Context::kNoBatch) << "the texture changes";
    context.drawText({0, 40}, "x");
    context.fillRect({0, 0, 1, 1});
    EXPECT_EQ(context.getBatch(), Context::kQuadBatch);
    context.endBatch();
    EXPECT_EQ(context.getBatch(), Context::kNoBatch);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    context.endBatch();  // nothing open: no stray glEnd
    context.end();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ContextTest, FilledRectanglesLandOnTheirPixelsWithYDownwards) {
    Context context(mContext);
    context.begin();
    context.setColour(1, 0, 0, 1);
    context.fillRect({10, 20, 30, 5});
    context.end();
    glFinish();
    const std::vector<std::uint8_t> red = pixels(0);
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool lit = red[std::size_t{kWidth} * y + x] > 128;
            const bool in = x >= 10 && x < 40 && y >= 20 && y < 25;
            inside += lit && in;
            outside += lit && !in;
        }
    }
    EXPECT_EQ(inside, 30 * 5);
    EXPECT_EQ(outside, 0);
}

}  // namespace
}  // namespace nevrik::gui3d

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
// coordinates, in 1/1024ths so that sets compare them.
using Vertex = std::tuple<long, long, long, long>;

Vertex vertex(float x, float y, float s, float t) {
    return {std::lround(x * 1024), std::lround(y * 1024), std::lround(s * 1024), std::lround(t * 1024)};
}

class ContextTest : public testing::GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        mGui = object::make<Context>(mContext);
        mMap = FontMap::create(*dejaVu());
        ASSERT_TRUE(mMap);
    }

    // The vertices that drawing `text` at `pen` sends.
    std::set<Vertex> feedback(const input::Point& pen, const char* text) {
        std::vector<GLfloat> buffer(1 << 14);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        mGui->begin();
        mGui->setCurrentFontMap(mMap.get());
        EXPECT_FALSE(mGui->drawText(pen, text));
        mGui->end();
        const GLint count = glRenderMode(GL_RENDER);
        // Polygon token, vertex count, then x y z, r g b a, s t r q per vertex.
        std::set<Vertex> vertices;
        for (GLint i = 0; i < count; i += 2 + 11 * static_cast<int>(buffer[i + 1])) {
            for (int at = i + 2; at < i + 2 + 11 * static_cast<int>(buffer[i + 1]); at += 11) {
                vertices.insert(vertex(buffer[at], buffer[at + 1], buffer[at + 7], buffer[at + 8]));
            }
        }
        return vertices;
    }

    // Adds the corners of code `code`'s quad, pen at `pen` on baseline `y`.
    void addQuad(std::set<Vertex>& quads, unsigned char code, float pen, float y) const {
        const FontMap::Glyph& g = mMap->getGlyph(code);
        const float left = std::floor(pen + g.left);
        const float top = kHeight - (y - g.top);
        const float bottom = kHeight - (y + g.bottom);
        quads.insert({vertex(left, top, g.s0, g.t0), vertex(left + g.width, top, g.s1, g.t0),
                      vertex(left + g.width, bottom, g.s1, g.t1), vertex(left, bottom, g.s0, g.t1)});
    }

    Pointer<FontMap> mMap;
    Pointer<Context> mGui;
};

TEST_F(ContextTest, BeginSetsUpPixelDrawingAndEndGivesTheSceneItsStateBack) {
    EXPECT_THROW(Context(nullptr), object::Exception);
    glMatrixMode(GL_PROJECTION);
    glFrustum(-1, 1, -1, 1, 1, 10);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    mContext->apply(mContext->getDefaultBlendMode());
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);

    mGui->begin();
    EXPECT_EQ(mContext->getCurrentBlendMode(), nullptr) << "the scene's states must be applied again";
    GLfloat ortho[16];
    glGetFloatv(GL_PROJECTION_MATRIX, ortho);
    EXPECT_FLOAT_EQ(ortho[0], 2.0f / kWidth);
    EXPECT_FLOAT_EQ(ortho[5], -2.0f / kHeight) << "y downwards";
    EXPECT_FLOAT_EQ(ortho[13], 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    mGui->end();

    GLfloat after[16];
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    EXPECT_TRUE(std::equal(after, after + 16, projection));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_TRUE) << "or the next frame could not clear the depth buffer";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ContextTest, TextIsOneQuadPerByteWithWholePixelLeftsAndAnUnroundedPen) {
    const float pen = 10.5f;
    std::set<Vertex> expected;
    addQuad(expected, 'A', pen, 100);
    addQuad(expected, 0xE9, pen + mMap->getGlyph('A').advance, 100);
    addQuad(expected, 'j', pen + mMap->getGlyph('A').advance + mMap->getGlyph(0xE9).advance, 100);
    EXPECT_EQ(feedback({pen, 100}, "A\xE9j"), expected);
    EXPECT_EQ(expected.size(), 12u);
    EXPECT_TRUE(feedback({pen, 100}, "").empty());
}

TEST_F(ContextTest, BatchesStayOpenUntilTheKindOrTheFontChanges) {
    auto other = FontMap::create(*dejaVu());
    mGui->begin();
    mGui->drawText({0, 0}, "no map");
    EXPECT_EQ(mGui->getBatch(), Context::kNoBatch);
    mGui->setCurrentFontMap(mMap.get());
    mGui->drawText({0, 20}, "");
    EXPECT_EQ(mGui->getBatch(), Context::kTextBatch) << "open even for empty text";
    mGui->setCurrentFontMap(mMap.get());
    EXPECT_EQ(mGui->getBatch(), Context::kTextBatch);
    mGui->setCurrentFontMap(other.get());
    EXPECT_EQ(mGui->getBatch(), Context::kNoBatch) << "another texture";
    mGui->setColour(0, 0, 1, 1);
    mGui->drawText({0, 40}, "x");
    mGui->setColour(1, 0, 0, 1);
    mGui->fillRect({10, 20, 30, 5});
    EXPECT_EQ(mGui->getBatch(), Context::kQuadBatch);
    mGui->endBatch();
    mGui->endBatch();  // nothing open: no stray glEnd
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    mGui->end();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The rectangle lands on its pixels, y downwards.
    const std::vector<std::uint8_t> red = pixels(0);
    int inside = 0;
    int outside = 0;
    for (int i = 0; i < kWidth * kHeight; ++i) {
        const int x = i % kWidth;
        const int y = i / kWidth;
        (x >= 10 && x < 40 && y >= 20 && y < 25 ? inside : outside) += red[i] > 128;
    }
    EXPECT_EQ(inside, 30 * 5);
    EXPECT_EQ(outside, 0);
}

}  // namespace
}  // namespace nevrik::gui3d

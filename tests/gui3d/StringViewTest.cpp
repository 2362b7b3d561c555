#include "nevrik/gui3d/StringView.h"

#include "gui3d/GuiFixture.h"
#include "nevrik/gui3d/Root.h"

namespace nevrik::gui3d {
namespace {

using object::Pointer;

class StringViewTest : public testing::GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        if (!HasFatalFailure()) {
            mRoot = Pointer<Root>::adopt(new Root(mContext, true));
        }
    }

    StringView* show(const input::Rect& frame, const char* text) {
        auto* view = new StringView(frame, text);
        view->setFont(dejaVu());
        EXPECT_TRUE(mRoot->addView(view));
        view->release();
        return view;
    }

    // Lit pixels of the channel inside and outside `frames`.
    static std::pair<int, int> count(const std::vector<input::Rect>& frames, int channel = 0) {
        const std::vector<std::uint8_t> values = pixels(channel);
        std::pair<int, int> lit{0, 0};
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (values[std::size_t{kWidth} * y + x] == 0) {
                    continue;
                }
                bool in = false;
                for (const input::Rect& f : frames) {
                    in = in || (x >= f.x && x < f.x + f.width && y >= f.y && y < f.y + f.height);
                }
                ++(in ? lit.first : lit.second);
            }
        }
        return lit;
    }

    Pointer<Root> mRoot;
};

TEST_F(StringViewTest, LeavesGlyphPixelsInsideItsFrameAndNoneOutside) {
    const input::Rect wide{10, 20, 300, 40};
    const input::Rect narrow{10, 100, 60, 40};
    show(wide, "mouse over object");
    show(narrow, "mouse not over object");
    mRoot->render();
    glFinish();
    const auto [inside, outside] = count({wide, narrow});
    EXPECT_GT(inside, 400);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(count({narrow}).first, count({narrow, {0, 0, 1, 1}}).first);
    EXPECT_GT(count({{10, 100, 60, 40}}).first, 50) << "the clipped text shows its start";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(StringViewTest, DrawsInItsColour) {
    StringView* view = show({10, 20, 300, 40}, "mouse over object");
    view->setColour(0, 1, 0, 1);
    mRoot->render();
    glFinish();
    EXPECT_EQ(count({}, 0).second, 0);
    EXPECT_GT(count({}, 1).second, 400);
}

TEST_F(StringViewTest, EmptyTextDrawsNothingAndLeavesATextBatchOpen) {
    StringView* view = show({10, 20, 300, 40}, "");
    mRoot->render();
    glFinish();
    EXPECT_EQ(count({}).second, 0);
    Context& context = mRoot->getContext();
    context.begin();
    EXPECT_TRUE(view->render());
    EXPECT_EQ(context.getBatch(), Context::kTextBatch);
    context.end();
    EXPECT_EQ(context.getBatch(), Context::kNoBatch);
}

TEST_F(StringViewTest, MakesItsFontMapOnFirstRenderAndDropsItWithTheFont) {
    auto* view = new StringView({0, 0, 100, 40}, "text");
    EXPECT_TRUE(view->render()) << "not attached: nothing to draw with";
    mRoot->addView(view);
    view->release();
    EXPECT_TRUE(view->render()) << "no font";
    EXPECT_EQ(view->getFontMap(), nullptr);
    EXPECT_EQ(mRoot->getContext().getFontCache().getCount(), 0);
    view->setFont(dejaVu());
    mRoot->render();
    ASSERT_NE(view->getFontMap(), nullptr);
    EXPECT_EQ(view->getFontMap(), mRoot->getContext().getFontCache().get(dejaVu()));
    EXPECT_EQ(view->getFontMap()->getReferenceCount(), 3) << "the cache's, the view's and the context's current";
    view->setFont(dejaVu());
    EXPECT_NE(view->getFontMap(), nullptr) << "the same font keeps its map";
    view->setFont(nullptr);
    EXPECT_EQ(view->getFontMap(), nullptr);
    EXPECT_STREQ(view->className().c_str(), "Object:Handler:View:StringView");
}

}  // namespace
}  // namespace nevrik::gui3d

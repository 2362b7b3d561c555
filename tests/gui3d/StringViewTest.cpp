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
        if (HasFatalFailure()) {
            return;
        }
        mRoot = object::make<Root>(mContext, true);
    }

    // A view attached to the root, which holds the only reference.
    StringView* show(const input::Rect& frame, const char* text) {
        const auto view = object::make<StringView>(frame, text);
        view->setFont(dejaVu());
        EXPECT_TRUE(mRoot->addView(view.get()));
        return view.get();
    }

    // Lit pixels of `channel` inside `frame` (first) and outside `frames` (second).
    static std::pair<int, int> lit(const input::Rect& frame, const std::vector<input::Rect>& frames,
                                   int channel = 0) {
        const auto within = [](const input::Rect& f, int column, int row) {
            const auto x = static_cast<float>(column);
            const auto y = static_cast<float>(row);
            return x >= f.x && x < f.x + f.width && y >= f.y && y < f.y + f.height;
        };
        const std::vector<std::uint8_t> values = pixels(channel);
        std::pair<int, int> counts{0, 0};
        for (int i = 0; i < kWidth * kHeight; ++i) {
            const int x = i % kWidth;
            const int y = i / kWidth;
            const bool on = values[i] != 0;
            counts.first += on && within(frame, x, y);
            counts.second += on && std::none_of(frames.begin(), frames.end(),
                                                [&](const input::Rect& f) { return within(f, x, y); });
        }
        return counts;
    }

    Pointer<Root> mRoot;
};

TEST_F(StringViewTest, LeavesGlyphPixelsInsideItsFrameInItsColourAndNoneOutside) {
    const input::Rect wide{10, 20, 300, 40};
    const input::Rect narrow{10, 100, 60, 40};
    show(wide, "mouse over object");
    show(narrow, "mouse not over object")->setColour(0, 1, 0, 1);
    mRoot->render();
    EXPECT_GT(lit(wide, {wide, narrow}).first, 400);
    EXPECT_EQ(lit(wide, {wide, narrow}).second, 0);
    EXPECT_EQ(lit(narrow, {wide}, 0).second, 0) << "red only in the white text";
    EXPECT_GT(lit(narrow, {wide, narrow}, 1).first, 100) << "the clipped text shows its start";
    EXPECT_EQ(lit(narrow, {wide, narrow}, 1).second, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(StringViewTest, EmptyTextDrawsNothingAndLeavesATextBatchOpen) {
    StringView* view = show({10, 20, 300, 40}, "");
    mRoot->render();
    EXPECT_EQ(lit({}, {}).second, 0);
    mRoot->getContext().begin();
    EXPECT_TRUE(view->render());
    EXPECT_EQ(mRoot->getContext().getBatch(), Context::kTextBatch);
    mRoot->getContext().end();
}

TEST_F(StringViewTest, MakesItsFontMapOnFirstRenderAndDropsItWithTheFont) {
    StringView* view = nullptr;
    {
        const auto made = object::make<StringView>(input::Rect{0, 0, 100, 40}, "text");
        view = made.get();
        EXPECT_TRUE(view->render()) << "not attached: nothing to draw with";
        mRoot->addView(view);
    }
    mRoot->render();
    EXPECT_EQ(view->getFontMap(), nullptr) << "no font";
    EXPECT_EQ(mRoot->getContext().getFontCache().getCount(), 0);
    view->setFont(dejaVu());
    mRoot->render();
    ASSERT_NE(view->getFontMap(), nullptr);
    EXPECT_EQ(view->getFontMap(), mRoot->getContext().getFontCache().get(dejaVu()));
    view->setFont(dejaVu());
    EXPECT_NE(view->getFontMap(), nullptr) << "the same font keeps its map";
    view->setFont(nullptr);
    EXPECT_EQ(view->getFontMap(), nullptr);
    EXPECT_STREQ(view->className().c_str(), "Object:Handler:View:StringView");
}

}  // namespace
}  // namespace nevrik::gui3d

// Drawing the 3D GUI: one frame of string views, each a line of the sample's
// verdict in DejaVu Sans at 24 pixels (Debian's fonts-dejavu-core). The font
// and its texture are made before the timing (building the font is the
// fonts benchmark's); the GPU's work (glFinish) stays outside it, so the
// time is the CPU's: matrices, clipping, batches and glyph quads.

#include "RenderingContext.h"
#include "nevrik/freetype/Font.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/gui3d/Root.h"
#include "nevrik/gui3d/StringView.h"
#include "nevrik/io/SystemFileFactory.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>

namespace {

using nevrik::object::Pointer;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

Pointer<nevrik::freetype::Font> dejaVu() {
    nevrik::io::SystemFileFactory files("/usr/share/fonts/truetype/dejavu");
    const Pointer<nevrik::io::File> file = files.open("DejaVuSans.ttf", nevrik::io::File::kRead);
    nevrik::freetype::Descriptor descriptor("DejaVu Sans", "Book", 24.0f, 24.0f);
    descriptor.setCharmap(1);  // Windows Unicode
    return nevrik::object::make<nevrik::freetype::Font>(*file, descriptor);
}

// One frame of `state.range(0)` string views spread over the window.
void renderStringViews(benchmark::State& state) {
    nevrik::graphics3d::Context* context = nevrik::bench::renderingContext(kWidth, kHeight);
    if (context == nullptr) {
        state.SkipWithError("no X display or rendering context");
        return;
    }
    const Pointer<nevrik::freetype::Font> font = dejaVu();
    const Pointer<nevrik::gui3d::Root> root = nevrik::object::make<nevrik::gui3d::Root>(context, true);
    const auto views = state.range(0);
    for (std::int64_t i = 0; i < views; ++i) {
        const float x = static_cast<float>(i % 4) * 160.0f;
        const float y = static_cast<float>(i / 4 % 12) * 40.0f;
        auto* view = new nevrik::gui3d::StringView({x, y, 160.0f, 40.0f}, "mouse not over object");
        view->setFont(font.get());
        root->addView(view);
        view->release();
    }
    // The first frame makes the font's texture.
    root->render();
    glFinish();
    for (auto _ : state) {
        root->render();
        state.PauseTiming();
        glFinish();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * views);
    state.SetLabel("views per frame");
}
BENCHMARK(renderStringViews)->ArgName("views")->Arg(1000)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace

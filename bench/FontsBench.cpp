// Building a font: the first pass over the 256 codes, the atlas and one
// render per distinct glyph, from DejaVu Sans (Debian's fonts-dejavu-core)
// read through the engine's file. The file stays open across iterations, as
// a font factory's would not, so the time is FreeType's and the atlas's.

#include "nevrik/freetype/Font.h"
#include "nevrik/io/SystemFileFactory.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using nevrik::freetype::Descriptor;
using nevrik::freetype::Font;
using nevrik::io::File;
using nevrik::io::SystemFileFactory;
using nevrik::object::Pointer;

void buildFont(benchmark::State& state) {
    SystemFileFactory files("/usr/share/fonts/truetype/dejavu");
    const Pointer<File> file = files.open("DejaVuSans.ttf", File::kRead);
    const auto size = static_cast<float>(state.range(0));
    Descriptor descriptor("DejaVu Sans", "Book", size, size);
    descriptor.setCharmap(1);  // Windows Unicode
    for (auto _ : state) {
        Font font(*file, descriptor);
        benchmark::DoNotOptimize(font.getAtlas());
    }
    state.SetLabel(std::to_string(16 * Font(*file, descriptor).getCellWidth()) + " px wide atlas");
}
BENCHMARK(buildFont)->Arg(24)->Arg(12)->Arg(48)->Unit(benchmark::kMillisecond);

}  // namespace

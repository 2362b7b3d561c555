// Decoding one 2048 x 2048 picture from memory in every format the image
// translators read. Bytes processed are the decoded pixel bytes; "file" is the
// size of the encoded input.

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/TranslatorBMP.h"
#include "nevrik/graphics/TranslatorDDS.h"
#include "nevrik/graphics/TranslatorGIF.h"
#include "nevrik/graphics/TranslatorHDR.h"
#include "nevrik/graphics/TranslatorJPG.h"
#include "nevrik/graphics/TranslatorPCX.h"
#include "nevrik/graphics/TranslatorPNG.h"
#include "nevrik/graphics/TranslatorTGA.h"

#include "graphics/ImageFiles.h"
#include "graphics/MemoryStream.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

using namespace nevrik;
using testing::put16;
using testing::put32;
using testing::put8;

constexpr int kSide = 2048;

// A smooth picture with hard-edged tiles over it: neither flat nor noise, so
// that every coder has runs and detail to deal with.
unsigned char channel(int x, int y, int c) {
    const int tile = ((x / 64) ^ (y / 64)) & 1;
    return static_cast<unsigned char>((x * (c + 1) + y * (3 - c)) / 16 + tile * 80);
}

std::string rgbPixels() {
    std::string rgb;
    rgb.reserve(std::size_t{kSide} * kSide * 3);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            for (int c = 0; c < 3; ++c) {
                rgb.push_back(static_cast<char>(channel(x, y, c)));
            }
        }
    }
    return rgb;
}

unsigned char indexAt(int x, int y) {
    return channel(x, y, 1);
}

std::string bmpFile() {
    std::string file = "BM";
    put32(file, 54 + kSide * kSide * 3);
    put32(file, 0);
    put32(file, 54);
    for (const std::uint32_t field : {40u, std::uint32_t{kSide}, std::uint32_t{kSide}}) {
        put32(file, field);
    }
    put16(file, 1);
    put16(file, 24);
    file.append(24, '\0');
    for (int y = kSide - 1; y >= 0; --y) {
        for (int x = 0; x < kSide; ++x) {
            for (int c = 2; c >= 0; --c) {
                put8(file, channel(x, y, c));
            }
        }
    }
    return file;
}

std::string ddsFile() {
    std::string file = "DDS ";
    for (const std::uint32_t field : {124u, 0x1007u, std::uint32_t{kSide}, std::uint32_t{kSide}}) {
        put32(file, field);
    }
    file.resize(88, '\0');
    put32(file, 32);
    file.resize(108, '\0');
    put32(file, 0x1000);
    file.resize(128, '\0');
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            file += {static_cast<char>(channel(x, y, 2)), static_cast<char>(channel(x, y, 1)),
                     static_cast<char>(channel(x, y, 0)), '\xFF'};
        }
    }
    return file;
}

std::string pcxFile() {
    std::string file = {10, 5, 1, 8, 0, 0, 0, 0};
    put16(file, kSide - 1);
    put16(file, kSide - 1);
    file.resize(65, '\0');
    put8(file, 1);
    put16(file, kSide);
    file.resize(128, '\0');
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide;) {
            const unsigned char value = indexAt(x, y);
            int run = 1;
            while (x + run < kSide && run < 63 && indexAt(x + run, y) == value) {
                ++run;
            }
            if (run > 1 || value >= 0xC0) {
                put8(file, 0xC0 | static_cast<unsigned>(run));
            }
            put8(file, value);
            x += run;
        }
    }
    return file + std::string(768, '\x40');
}

std::string tgaFile(bool runLength) {
    std::string file = {0, 0, static_cast<char>(runLength ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16(file, kSide);
    put16(file, kSide);
    file += {24, 0x20};
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide;) {
            int run = 1;
            if (runLength) {
                while (x + run < kSide && run < 128 && channel(x + run, y, 0) == channel(x, y, 0) &&
                       channel(x + run, y, 1) == channel(x, y, 1) &&
                       channel(x + run, y, 2) == channel(x, y, 2)) {
                    ++run;
                }
                put8(file, 0x80 | static_cast<unsigned>(run - 1));
            }
            file += {static_cast<char>(channel(x, y, 2)), static_cast<char>(channel(x, y, 1)),
                     static_cast<char>(channel(x, y, 0))};
            x += run;
        }
    }
    return file;
}

// Run-length scanlines: runs of equal bytes, the rest as literals.
std::string hdrFile() {
    std::string file = "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 2048 +X 2048\n";
    std::string component(kSide, '\0');
    for (int y = 0; y < kSide; ++y) {
        file += {2, 2, static_cast<char>(kSide >> 8), static_cast<char>(kSide & 0xFF)};
        for (int c = 0; c < 4; ++c) {
            for (int x = 0; x < kSide; ++x) {
                component[static_cast<std::size_t>(x)] =
                    static_cast<char>(c < 3 ? channel(x, y, c) | 0x80 : 130);
            }
            for (int x = 0; x < kSide;) {
                int run = 1;
                while (x + run < kSide && run < 127 && component[x + run] == component[x]) {
                    ++run;
                }
                if (run > 2) {
                    file += {static_cast<char>(128 + run), component[static_cast<std::size_t>(x)]};
                } else {
                    const int literal = std::min(kSide - x, 2);
                    file += static_cast<char>(literal);
                    file.append(component, static_cast<std::size_t>(x), static_cast<std::size_t>(literal));
                    run = literal;
                }
                x += run;
            }
        }
    }
    return file;
}

std::string gifFile() {
    testing::GifFrame frame;
    frame.width = kSide;
    frame.height = kSide;
    frame.indices.resize(std::size_t{kSide} * kSide);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            frame.indices[static_cast<std::size_t>(y) * kSide + x] = static_cast<char>(indexAt(x, y));
        }
    }
    std::vector<GifColorType> colours(256);
    for (int i = 0; i < 256; ++i) {
        colours[static_cast<std::size_t>(i)] = {static_cast<GifByteType>(i), static_cast<GifByteType>(i), 0};
    }
    return testing::encodeGif(kSide, kSide, 0, colours, {frame});
}

std::string pngFile() {
    testing::PngLayout layout;
    layout.width = kSide;
    layout.height = kSide;
    layout.rows = rgbPixels();
    return testing::encodePng(layout);
}

void decode(benchmark::State& state, io::Translator<graphics::Image>& translator, const std::string& file) {
    std::int64_t pixelBytes = 0;
    for (auto _ : state) {
        testing::MemoryStream stream(file.data(), file.size());
        nevrik::object::Pointer<graphics::Image> image = translator.read(stream, stream.available());
        pixelBytes = std::int64_t{image->getPitch()} * image->getHeight();
        benchmark::DoNotOptimize(image->lock());
    }
    state.SetBytesProcessed(state.iterations() * pixelBytes);
    state.counters["file"] = static_cast<double>(file.size());
}

// Files are encoded when their benchmark first runs, so a filtered run pays
// only for the formats it measures.
template <class T>
void registerDecode(const char* name, std::string (*make)()) {
    auto file = std::make_shared<std::string>();
    benchmark::RegisterBenchmark(name, [make, file](benchmark::State& state) {
        if (file->empty()) {
            *file = make();
        }
        T translator;
        decode(state, translator, *file);
    })->Unit(benchmark::kMillisecond);
}

const bool kRegistered = [] {
    registerDecode<graphics::TranslatorBMP>("DecodeBMP24", bmpFile);
    registerDecode<graphics::TranslatorDDS>("DecodeDDS32", ddsFile);
    registerDecode<graphics::TranslatorPCX>("DecodePCX8", pcxFile);
    registerDecode<graphics::TranslatorTGA>("DecodeTGA24", [] { return tgaFile(false); });
    registerDecode<graphics::TranslatorTGA>("DecodeTGA24RunLength", [] { return tgaFile(true); });
    registerDecode<graphics::TranslatorHDR>("DecodeHDRRunLength", hdrFile);
    registerDecode<graphics::TranslatorJPG>("DecodeJPG",
                                            [] { return testing::encodeJpeg(kSide, kSide, rgbPixels()); });
    registerDecode<graphics::TranslatorPNG>("DecodePNG", pngFile);
    registerDecode<graphics::TranslatorGIF>("DecodeGIF", gifFile);
    return true;
}();

}  // namespace

#pragma once

// The body shared by the image fuzz targets: decode the input from memory with
// one translator that lives across inputs, so that a read after a failed one
// is exercised too. Refusals are expected; anything else escaping is a finding.
//
// The translators run with a memory limit of 16 MiB instead of the default
// 256: the rules that bound a read scale with the limit, and in the sanitized
// debug build merely clearing 256 MiB of pixels takes seconds, which would
// leave the fuzzer a few inputs a second.

#include "graphics/MemoryStream.h"
#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/ImageTranslator.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/TranslatorException.h"
#include "nevrik/object/Pointer.h"

#include <cstddef>
#include <cstdint>

namespace nevrik::fuzz {

constexpr std::int64_t kMemoryLimit = std::int64_t{16} << 20;

inline int decodeImage(graphics::ImageTranslator& translator, const std::uint8_t* data, std::size_t size) {
    translator.setMemoryLimit(kMemoryLimit);
    testing::MemoryStream stream(data, size);
    try {
        const object::Pointer<graphics::Image> head = translator.read(stream, stream.available());
        // Touch the last pixel byte of every image of the chain: each must
        // own as many bytes as its format and size say.
        volatile std::uint8_t sink = 0;
        for (graphics::Image* image = head.get(); image != nullptr; image = image->getNext()) {
            const std::int64_t bytes =
                graphics::getImageBytes(image->getFormat(), image->getWidth(), image->getHeight());
            if (bytes > 0) {
                sink = sink ^ image->lock()[bytes - 1];
            }
        }
    } catch (const io::TranslatorException&) {
    }
    return 0;
}

}  // namespace nevrik::fuzz

/// The fuzz entry point for the translator class `Name` of nevrik::graphics.
#define NEVRIK_IMAGE_FUZZER(Name)                                                       \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
        static nevrik::graphics::Name translator;                                       \
        return nevrik::fuzz::decodeImage(translator, data, size);                       \
    }

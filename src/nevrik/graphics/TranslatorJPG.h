#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/ImageTranslator.h"

#include <memory>

namespace nevrik::graphics {

/// Reads JPEG files through libjpeg (the 6b interface), from the engine's
/// streams with a source manager of its own. Colour files become PIXEL_RGB8;
/// CMYK and YCCK ones (Adobe's inverted inks included) are converted to it.
/// A file that ends early is refused; after a corrupt file the translator is
/// ready for the next one.
///
/// Keeps one libjpeg decompression object for its whole life. Held by value
/// in the graphics TranslatorRoster or used alone; one read at a time, on one
/// thread at a time.
class TranslatorJPG : public ImageTranslator {
public:
    /// Bytes the source manager asks the stream for at a time.
    static constexpr int kBufferSize = 16384;

    /// Throws io::TranslatorException when libjpeg refuses to make its
    /// decompression object.
    TranslatorJPG();
    ~TranslatorJPG() override;
    TranslatorJPG(const TranslatorJPG&) = delete;
    TranslatorJPG& operator=(const TranslatorJPG&) = delete;

    /// A PIXEL_RGB8 picture. `size` is not used: libjpeg reads until the
    /// image ends. Pixels are reserved as scanlines arrive. Throws
    /// TranslatorFormatException for anything libjpeg cannot decode (after
    /// it has printed its message), a file that ends early or a picture above
    /// the memory limit, TranslatorMemoryException when memory runs out, and
    /// what the stream throws.
    object::Pointer<Image> read(io::InputStream& stream, std::uint32_t size) override;
    /// Not supported: returns false.
    bool write(io::OutputStream& stream, Image& image) override;
    /// Any JPEG stream: start-of-image followed by a marker that opens a
    /// segment, with a length of at least 2 (JFIF, Exif, Adobe, bare).
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(io::Translator<Image>, ":TranslatorJPG")

    /// libjpeg's objects and the read in progress; opaque outside the translator.
    struct Decoder;

private:
    bool decode();
    void cleanUp() noexcept;

    std::unique_ptr<Decoder> mDecoder;
};

}  // namespace nevrik::graphics

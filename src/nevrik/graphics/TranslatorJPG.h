#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/io/Translator.h"

#include <memory>

namespace nevrik::graphics {

/// Reads JPEG files through libjpeg (the 6b interface), from the engine's
/// streams with a source manager of its own. A file that ends early decodes
/// up to where it ends; after a corrupt file the translator is ready for the
/// next one.
///
/// Keeps one libjpeg decompression object for its whole life. Held by value
/// in the graphics TranslatorRoster or used alone; one read at a time, on one
/// thread at a time.
class TranslatorJPG : public io::Translator<Image> {
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
    /// image ends. Throws TranslatorFormatException for anything libjpeg
    /// cannot decode (after it has printed its message),
    /// TranslatorMemoryException when the picture cannot be made, and what
    /// the stream throws.
    object::Pointer<Image> read(io::InputStream& stream, std::uint32_t size) override;
    /// Not supported: returns false.
    bool write(io::OutputStream& stream, Image& image) override;
    /// "JFIF" at offset 6: JPEG files without a JFIF header (Exif ones, for
    /// instance) are left to later translators.
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

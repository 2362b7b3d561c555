#include "nevrik/graphics/TranslatorPNG.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/detail/Decoding.h"
#include "nevrik/graphics/detail/Encoding.h"
#include "nevrik/graphics/detail/PixelBuffer.h"
#include "nevrik/io/TranslatorFormatException.h"
#include "nevrik/io/TranslatorMemoryException.h"

#include <png.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <new>

namespace nevrik::graphics {

// The structures of one read and what a jump back out of libpng must clean up.
struct TranslatorPNG::Decoder {
    png_structp png = nullptr;
    png_infop info = nullptr;
    io::InputStream* stream = nullptr;
    std::exception_ptr failure;
    // Bytes the stream held at the start: what the pixels can come from.
    std::int64_t present = 0;
    std::int64_t limit = 0;
    Palette<uchar> palette;
    // Owned here, not on decode()'s stack, which libpng may jump out of.
    std::unique_ptr<detail::PixelBuffer> pixels;

    ~Decoder() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

// The structures of one write.
struct TranslatorPNG::Encoder {
    png_structp png = nullptr;
    png_infop info = nullptr;
    io::OutputStream* stream = nullptr;

    ~Encoder() { png_destroy_write_struct(&png, info != nullptr ? &info : nullptr); }
};

namespace {

constexpr double kScreenGamma = 2.2;

void writeData(png_structp png, png_bytep data, png_size_t length) {
    auto& encoder = *static_cast<TranslatorPNG::Encoder*>(png_get_io_ptr(png));
    bool written = false;
    try {
        written = detail::writeAll(*encoder.stream, data, length);
    } catch (...) {
        written = false;
    }
    // png_error jumps out of this frame; nothing here may need destroying by then.
    if (!written) {
        png_error(png, "Write Error");
    }
}

void flushData(png_structp) {}
constexpr int kSignatureSize = 8;
// Known chunks that carry nothing the reader uses, four letters and a 0 each.
constexpr png_byte kUnusedChunks[] =
    "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0hIST\0sBIT\0cHRM\0sRGB\0pHYs\0oFFs\0pCAL\0sCAL\0tIME";
constexpr int kUnusedChunkCount = sizeof kUnusedChunks / 5;
// Deflate turns no byte into more than 1032.
constexpr std::int64_t kLargestExpansion = 1032;

void readData(png_structp png, png_bytep data, png_size_t length) {
    auto& decoder = *static_cast<TranslatorPNG::Decoder*>(png_get_io_ptr(png));
    bool complete = false;
    try {
        complete = length <= INT_MAX &&
                   detail::readFully(*decoder.stream, data, static_cast<std::int32_t>(length)) ==
                       static_cast<std::int32_t>(length);
    } catch (...) {
        decoder.failure = std::current_exception();
    }
    // png_error jumps out of this frame; nothing here may need destroying by then.
    if (!complete) {
        png_error(png, "Read Error");
    }
}

std::uint32_t formatFor(int colourType, int channels) {
    switch (colourType) {
        case PNG_COLOR_TYPE_GRAY:
            return PIXEL_A8;
        case PNG_COLOR_TYPE_RGB:
            return channels == 4 ? PIXEL_RGBA8 : PIXEL_RGB8;
        case PNG_COLOR_TYPE_PALETTE:
            return PIXEL_INDEX8;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return PIXEL_LA8;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            return PIXEL_RGBA8;
        default:
            throw io::TranslatorFormatException();
    }
}

}  // namespace

object::Pointer<Image> TranslatorPNG::read(io::InputStream& stream, std::uint32_t size) {
    size = detail::resolveSize(stream, size);
    png_byte signature[kSignatureSize];
    if (detail::readFully(stream, signature, kSignatureSize) != kSignatureSize ||
        png_sig_cmp(signature, 0, kSignatureSize) != 0) {
        throw io::TranslatorFormatException();
    }
    Decoder decoder;
    decoder.stream = &stream;
    decoder.present = size;
    decoder.limit = getMemoryLimit();
    decoder.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    decoder.info = decoder.png != nullptr ? png_create_info_struct(decoder.png) : nullptr;
    if (decoder.info == nullptr) {
        throw io::TranslatorMemoryException();
    }
    if (!decode(decoder)) {
        if (decoder.failure) {
            std::rethrow_exception(decoder.failure);
        }
        throw io::TranslatorFormatException();
    }
    object::Pointer<Bitmap> image = decoder.pixels->finish();
    image->setPalette(decoder.palette);
    return image;
}

// Holds no object that needs destroying: libpng may jump back into it.
bool TranslatorPNG::encode(Encoder& encoder, detail::WritablePixels& source) {
    png_structp png = encoder.png;
    png_infop info = encoder.info;
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_set_write_fn(png, &encoder, writeData, flushData);
    const int colourType = source.format == PIXEL_INDEX8  ? PNG_COLOR_TYPE_PALETTE
                           : source.format == PIXEL_RGBA8 ? PNG_COLOR_TYPE_RGB_ALPHA
                                                          : PNG_COLOR_TYPE_RGB;
    png_set_IHDR(png, info, static_cast<png_uint_32>(source.width), static_cast<png_uint_32>(source.height),
                 8, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color colours[Palette<uchar>::kSize];
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < Palette<uchar>::kSize; ++i) {
            const uchar* entry = source.palette.getEntry(i);
            colours[i] = png_color{entry[0], entry[1], entry[2]};
        }
        png_set_PLTE(png, info, colours, Palette<uchar>::kSize);
    }
    png_write_info(png, info);
    const auto pitch = static_cast<std::size_t>(getBytesPerPixel(source.format)) * source.width;
    for (std::int32_t y = 0; y < source.height; ++y) {
        png_write_row(png, source.pixels.data() + y * pitch);
    }
    png_write_end(png, nullptr);
    return true;
}

// Holds no object that needs destroying: libpng may jump back into it.
bool TranslatorPNG::decode(Decoder& decoder) {
    png_structp png = decoder.png;
    png_infop info = decoder.info;
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_set_read_fn(png, &decoder, readData);
    png_set_sig_bytes(png, kSignatureSize);
    // libpng reserves, and clears, a text, profile or unknown chunk's whole
    // declared length before any of it arrives, even past its own size
    // check. None of them is used: they are skipped unread.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kUnusedChunks, kUnusedChunkCount);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_chunk_malloc_max(
        png, static_cast<png_alloc_size_t>(std::min(decoder.limit, decoder.present * kLargestExpansion)));
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int depth = 0;
    int colourType = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
    if (depth == 16) {
        png_set_strip_16(png);
    }
    if (depth < 8) {
        png_set_packing(png);
        // Unpacked alone, a 1-bit grey pixel would be 0 or 1: nearly black.
        if (colourType == PNG_COLOR_TYPE_GRAY) {
            png_set_expand_gray_1_2_4_to_8(png);
        }
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
        png_set_tRNS_to_alpha(png);
    }
    png_color_16p background = nullptr;
    if (png_get_bKGD(png, info, &background) != 0) {
        png_set_background(png, background, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
    }
    double fileGamma = 0.0;
    if (png_get_gAMA(png, info, &fileGamma) != 0) {
        png_set_gamma(png, kScreenGamma, fileGamma);
    }
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);

    const std::uint32_t format = formatFor(colourType, png_get_channels(png, info));
    decoder.pixels = std::make_unique<detail::PixelBuffer>(format, width, height, decoder.limit);
    const auto pitch = static_cast<std::size_t>(getBytesPerPixel(format)) * width;
    // Rows longer than the bitmap's would be written past it.
    if (png_get_rowbytes(png, info) > pitch) {
        png_error(png, "Unexpected row size");
    }
    png_colorp colours = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &colours, &count) != 0) {
        for (int i = 0; i < count && i < Palette<uchar>::kSize; ++i) {
            decoder.palette.setEntry(i, colours[i].red, colours[i].green, colours[i].blue, 0);
        }
    }
    // Rows arrive one by one and are reserved as they do; interlaced passes
    // revisit every row, so the whole picture is needed at once and must be
    // one the compressed bytes present could fill.
    if (passes > 1 && decoder.pixels->getBytes() > decoder.present * kLargestExpansion) {
        png_error(png, "Picture larger than its data");
    }
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            const auto end = static_cast<std::int64_t>(passes > 1 ? height * pitch : (y + 1) * pitch);
            png_read_row(png, decoder.pixels->reach(end) + y * pitch, nullptr);
        }
    }
    png_read_end(png, nullptr);
    return true;
}

bool TranslatorPNG::write(io::OutputStream& stream, Image& image) {
    detail::WritablePixels source;
    if (!detail::toWritable(image, source) || source.width == 0 || source.height == 0) {
        return false;
    }
    Encoder encoder;
    encoder.stream = &stream;
    encoder.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    encoder.info = encoder.png != nullptr ? png_create_info_struct(encoder.png) : nullptr;
    return encoder.info != nullptr && encode(encoder, source) && stream.flush();
}

bool TranslatorPNG::probe(io::File& file) {
    png_byte signature[kSignatureSize] = {};
    return detail::peek(file, signature, kSignatureSize) == kSignatureSize &&
           png_sig_cmp(signature, 0, kSignatureSize) == 0;
}

}  // namespace nevrik::graphics

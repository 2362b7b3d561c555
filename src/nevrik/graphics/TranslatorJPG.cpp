#include "nevrik/graphics/TranslatorJPG.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/detail/Decoding.h"
#include "nevrik/graphics/detail/PixelBuffer.h"
#include "nevrik/io/TranslatorException.h"
#include "nevrik/io/TranslatorFormatException.h"
#include "nevrik/io/TranslatorMemoryException.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <vector>

// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace nevrik::graphics {

// Everything libjpeg keeps between calls, and the state of the read in
// progress that a jump back out of libjpeg must clean up.
struct TranslatorJPG::Decoder {
    struct ErrorManager {
        jpeg_error_mgr base;
        std::jmp_buf jump;
        void (*emit)(j_common_ptr, int) = nullptr;
    };

    jpeg_decompress_struct info;
    ErrorManager error;
    jpeg_source_mgr source;
    JOCTET buffer[kBufferSize];
    io::InputStream* stream = nullptr;
    bool startOfFile = false;
    std::exception_ptr failure;
    // Owned here, not on decode()'s stack, which libjpeg may jump out of.
    std::unique_ptr<detail::PixelBuffer> pixels;
    std::vector<JSAMPLE> inks;
};

namespace {

using Decoder = TranslatorJPG::Decoder;

Decoder& decoderOf(j_decompress_ptr info) noexcept {
    return *static_cast<Decoder*>(info->client_data);
}

// libjpeg must not return from here: it prints its message and goes back to
// the jump buffer armed by the read.
[[noreturn]] void exitOnError(j_common_ptr info) {
    (*info->err->output_message)(info);
    std::longjmp(reinterpret_cast<Decoder::ErrorManager*>(info->err)->jump, 1);
}

// Warnings pass but one: coded data that runs into a marker before the
// picture is complete, which libjpeg would fill out with grey.
void emitMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_HIT_MARKER) {
        exitOnError(info);
    }
    (*reinterpret_cast<Decoder::ErrorManager*>(info->err)->emit)(info, level);
}

void initSource(j_decompress_ptr info) {
    decoderOf(info).startOfFile = true;
}

boolean fillInputBuffer(j_decompress_ptr info) {
    Decoder& decoder = decoderOf(info);
    std::int32_t got = 0;
    try {
        got = decoder.stream->read(decoder.buffer, TranslatorJPG::kBufferSize);
    } catch (...) {
        decoder.failure = std::current_exception();
    }
    // The jumps below leave this frame; nothing here may need destroying by then.
    if (decoder.failure) {
        ERREXIT(info, JERR_FILE_READ);
    }
    if (got <= 0) {
        // A file that ends early is refused, not passed as a whole picture
        // with grey where its data is missing.
        ERREXIT(info, decoder.startOfFile ? JERR_INPUT_EMPTY : JERR_INPUT_EOF);
    }
    info->src->next_input_byte = decoder.buffer;
    info->src->bytes_in_buffer = static_cast<std::size_t>(got);
    decoder.startOfFile = false;
    return TRUE;
}

void skipInputData(j_decompress_ptr info, long count) {
    if (count <= 0) {
        return;
    }
    jpeg_source_mgr& source = *info->src;
    while (count > static_cast<long>(source.bytes_in_buffer)) {
        count -= static_cast<long>(source.bytes_in_buffer);
        fillInputBuffer(info);
    }
    source.next_input_byte += count;
    source.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void termSource(j_decompress_ptr) {}

// Ink amounts to light: each colour is what its ink and the black ink leave.
// Adobe's files store the inks inverted (255 is no ink).
void toRgb(const JSAMPLE* inks, std::uint8_t* rgb, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x) {
        const JSAMPLE* cmyk = inks + 4 * x;
        const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned left = inverted ? cmyk[c] : 255u - cmyk[c];
            rgb[3 * x + c] = static_cast<std::uint8_t>((left * k + 127) / 255);
        }
    }
}

constexpr std::uint8_t kStartOfImage = 0xD8;

// A marker that may follow start-of-image: any but the restart markers, a
// second start-of-image, end-of-image and the reserved ones.
bool opensSegment(std::uint8_t marker) noexcept {
    return marker >= 0xC0 && marker != 0xFF && (marker < 0xD0 || marker > 0xD9);
}

}  // namespace

TranslatorJPG::TranslatorJPG() : mDecoder(new Decoder()) {
    Decoder& decoder = *mDecoder;
    decoder.info.err = jpeg_std_error(&decoder.error.base);
    decoder.error.base.error_exit = exitOnError;
    decoder.error.emit = decoder.error.base.emit_message;
    decoder.error.base.emit_message = emitMessage;
    if (setjmp(decoder.error.jump) != 0) {
        throw io::TranslatorException("TranslatorJPG: libjpeg cannot be set up");
    }
    jpeg_CreateDecompress(&decoder.info, JPEG_LIB_VERSION, sizeof(jpeg_decompress_struct));
    decoder.info.client_data = &decoder;
    decoder.source.init_source = initSource;
    decoder.source.fill_input_buffer = fillInputBuffer;
    decoder.source.skip_input_data = skipInputData;
    decoder.source.resync_to_restart = jpeg_resync_to_restart;
    decoder.source.term_source = termSource;
    decoder.info.src = &decoder.source;
}

TranslatorJPG::~TranslatorJPG() {
    jpeg_destroy_decompress(&mDecoder->info);
}

object::Pointer<Image> TranslatorJPG::read(io::InputStream& stream, std::uint32_t) {
    Decoder& decoder = *mDecoder;
    decoder.stream = &stream;
    decoder.failure = nullptr;
    decoder.source.next_input_byte = nullptr;
    decoder.source.bytes_in_buffer = 0;
    // libjpeg's own buffers (whole-image coefficients of progressive files)
    // count against the limit too.
    decoder.info.mem->max_memory_to_use = static_cast<long>(getMemoryLimit());
    bool decoded = false;
    try {
        decoded = decode();
    } catch (...) {
        cleanUp();
        jpeg_abort_decompress(&decoder.info);
        throw;
    }
    if (!decoded) {
        cleanUp();
        // Ready for the next file, as if this one had never started.
        jpeg_abort_decompress(&decoder.info);
        if (decoder.failure) {
            std::rethrow_exception(decoder.failure);
        }
        throw io::TranslatorFormatException();
    }
    object::Pointer<Image> image = decoder.pixels->finish();
    cleanUp();
    return image;
}

// Holds no object that needs destroying: libjpeg may jump back into it.
bool TranslatorJPG::decode() {
    Decoder& decoder = *mDecoder;
    jpeg_decompress_struct& info = decoder.info;
    if (setjmp(decoder.error.jump) != 0) {
        return false;
    }
    jpeg_read_header(&info, TRUE);
    // Ink separations come as CMYK, converted below; everything else as RGB.
    const bool inks = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = inks ? JCS_CMYK : JCS_RGB;
    // Refused before libjpeg sets up its own buffers for an absurd size;
    // the pixels themselves are reserved as scanlines arrive.
    decoder.pixels = std::make_unique<detail::PixelBuffer>(PIXEL_RGB8, info.image_width, info.image_height,
                                                           getMemoryLimit());
    jpeg_start_decompress(&info);
    if (info.output_components != (inks ? 4 : 3) || info.output_width != info.image_width ||
        info.output_height != info.image_height) {
        ERREXIT(&info, JERR_BAD_J_COLORSPACE);
    }
    const std::size_t pitch = std::size_t{info.output_width} * 3;
    decoder.inks.resize(inks ? std::size_t{info.output_width} * 4 : 0);
    while (info.output_scanline < info.output_height) {
        const std::size_t y = info.output_scanline;
        std::uint8_t* row = decoder.pixels->reach(static_cast<std::int64_t>((y + 1) * pitch)) + y * pitch;
        JSAMPROW target = inks ? decoder.inks.data() : row;
        jpeg_read_scanlines(&info, &target, 1);
        if (inks) {
            toRgb(decoder.inks.data(), row, info.output_width, info.saw_Adobe_marker != 0);
        }
    }
    jpeg_finish_decompress(&info);
    return true;
}

void TranslatorJPG::cleanUp() noexcept {
    Decoder& decoder = *mDecoder;
    decoder.pixels.reset();
    decoder.inks = {};
    decoder.stream = nullptr;
}

bool TranslatorJPG::write(io::OutputStream&, Image&) {
    return false;
}

bool TranslatorJPG::probe(io::File& file) {
    std::uint8_t header[6] = {};
    return detail::peek(file, header, 6) == 6 && header[0] == 0xFF && header[1] == kStartOfImage &&
           header[2] == 0xFF && opensSegment(header[3]) && (header[4] << 8 | header[5]) >= 2;
}

}  // namespace nevrik::graphics

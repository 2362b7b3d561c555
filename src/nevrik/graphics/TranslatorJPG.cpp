#include "nevrik/graphics/TranslatorJPG.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/detail/Decoding.h"
#include "nevrik/io/TranslatorException.h"
#include "nevrik/io/TranslatorFormatException.h"
#include "nevrik/io/TranslatorMemoryException.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

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
    };

    jpeg_decompress_struct info;
    ErrorManager error;
    jpeg_source_mgr source;
    JOCTET buffer[kBufferSize];
    io::InputStream* stream = nullptr;
    bool startOfFile = false;
    std::exception_ptr failure;
    Bitmap* image = nullptr;
    JSAMPROW* rows = nullptr;
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
        if (decoder.startOfFile) {
            ERREXIT(info, JERR_INPUT_EMPTY);
        }
        // A truncated file still decodes: what is missing ends the image.
        WARNMS(info, JWRN_JPEG_EOF);
        decoder.buffer[0] = 0xFF;
        decoder.buffer[1] = JPEG_EOI;
        got = 2;
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

}  // namespace

TranslatorJPG::TranslatorJPG() : mDecoder(new Decoder()) {
    Decoder& decoder = *mDecoder;
    decoder.info.err = jpeg_std_error(&decoder.error.base);
    decoder.error.base.error_exit = exitOnError;
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
    object::Pointer<Image> image = object::Pointer<Image>::adopt(decoder.image);
    decoder.image = nullptr;
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
    // Before libjpeg sets up its own buffers for an absurd size.
    detail::checkSize(PIXEL_RGB8, info.image_width, info.image_height);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        ERREXIT(&info, JERR_BAD_J_COLORSPACE);
    }
    decoder.image = detail::createBitmap(PIXEL_RGB8, info.output_width, info.output_height).detach();
    decoder.rows = new (std::nothrow) JSAMPROW[info.output_height];
    if (decoder.rows == nullptr) {
        throw io::TranslatorMemoryException();
    }
    std::uint8_t* pixels = decoder.image->lock();
    const std::size_t pitch =
        std::size_t{info.output_width} * static_cast<std::size_t>(info.output_components);
    for (JDIMENSION i = 0; i < info.output_height; ++i) {
        decoder.rows[i] = pixels + i * pitch;
    }
    while (info.output_scanline < info.output_height) {
        jpeg_read_scanlines(&info, decoder.rows + info.output_scanline,
                            info.output_height - info.output_scanline);
    }
    jpeg_finish_decompress(&info);
    decoder.image->unlock();
    return true;
}

void TranslatorJPG::cleanUp() noexcept {
    Decoder& decoder = *mDecoder;
    delete[] decoder.rows;
    decoder.rows = nullptr;
    if (decoder.image != nullptr) {
        decoder.image->release();
        decoder.image = nullptr;
    }
    decoder.stream = nullptr;
}

bool TranslatorJPG::write(io::OutputStream&, Image&) {
    return false;
}

bool TranslatorJPG::probe(io::File& file) {
    std::uint8_t header[10] = {};
    return detail::peek(file, header, 10) == 10 && std::memcmp(header + 6, "JFIF", 4) == 0;
}

}  // namespace nevrik::graphics

#pragma once

// Test and benchmark helpers: streams that end or fail on cue, and writers
// that make image files in memory.

#include "graphics/MemoryStream.h"
#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/IOException.h"
#include "nevrik/io/InputStream.h"
#include "nevrik/io/OutputStream.h"
#include "nevrik/io/Translator.h"
#include "nevrik/object/Pointer.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

namespace nevrik::testing {

/// Gives its bytes, then throws IOException "disk gone" instead of ending.
class FailingStream : public MemoryStream {
public:
    using MemoryStream::MemoryStream;

    std::int32_t read(void* buffer, std::int32_t count) override {
        const std::int32_t got = MemoryStream::read(buffer, count);
        if (got == 0 && count > 0) {
            throw io::IOException("disk gone");
        }
        return got;
    }
};

/// A stream that cannot move backwards or tell its length, as a pipe.
class ForwardStream : public MemoryStream {
public:
    using MemoryStream::MemoryStream;

    std::int32_t skip(std::int32_t count) override { return count > 0 ? MemoryStream::skip(count) : 0; }
};

/// An OutputStream into a string that takes at most `room` bytes, then fails.
class StringOutputStream : public io::OutputStream {
public:
    explicit StringOutputStream(std::size_t room = SIZE_MAX) : mRoom(room) {}

    std::int32_t write(const void* buffer, std::int32_t count) override {
        const auto taken =
            static_cast<std::int32_t>(std::min<std::size_t>(std::max(count, 0), mRoom - mBytes.size()));
        mBytes.append(static_cast<const char*>(buffer), static_cast<std::size_t>(taken));
        return taken;
    }
    bool flush() override { return true; }

    const std::string& bytes() const noexcept { return mBytes; }

private:
    std::size_t mRoom;
    std::string mBytes;
};

/// Decodes `file` with `translator`, telling it the whole size.
inline object::Pointer<graphics::Image> decode(io::Translator<graphics::Image>& translator,
                                               std::string file) {
    MemoryStream stream(std::move(file));
    return translator.read(stream, stream.available());
}

/// All pixel bytes of an image, rows top first (compressed ones: all blocks).
inline std::string pixelsOf(graphics::Image& image) {
    const std::uint8_t* pixels = image.lock();
    const std::int64_t size = graphics::getImageBytes(image.getFormat(), image.getWidth(), image.getHeight());
    std::string bytes(pixels != nullptr ? reinterpret_cast<const char*>(pixels) : "",
                      pixels != nullptr ? static_cast<std::size_t>(size) : 0);
    image.unlock();
    return bytes;
}

/// The colour of pixel (x, y), 8 bits a channel in the order red, green,
/// blue, alpha, read through the format's channel masks or, for an indexed
/// image, its palette; a missing alpha reads 255 and missing colours 0.
inline std::array<int, 4> rgbaOf(graphics::Image& image, int x, int y) {
    const std::uint32_t format = image.getFormat();
    const int size = graphics::getBytesPerPixel(format);
    const std::uint8_t* pixel = image.lock() + std::int64_t{y} * image.getPitch() + std::int64_t{x} * size;
    image.unlock();
    if (format == graphics::PIXEL_INDEX8) {
        graphics::Palette<graphics::uchar> palette;
        image.getPalette(palette);
        const graphics::uchar* entry = palette.getEntry(*pixel);
        return {entry[0], entry[1], entry[2], 255};
    }
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | pixel[i];
    }
    const graphics::ChannelMasks masks = graphics::getChannelMasks(format);
    std::array<int, 4> rgba{};
    const std::uint64_t channels[4] = {masks.red, masks.green, masks.blue, masks.alpha};
    for (int c = 0; c < 4; ++c) {
        std::uint64_t mask = channels[c];
        if (mask == 0) {
            rgba[c] = c == 3 ? 255 : 0;
            continue;
        }
        std::uint64_t bits = value & mask;
        while ((mask & 1) == 0) {
            mask >>= 1;
            bits >>= 1;
        }
        rgba[c] = static_cast<int>((bits * 255 + mask / 2) / mask);
    }
    return rgba;
}

/// `rgba` (8 bits a channel) packed into a little-endian pixel of `size`
/// bytes laid out by `masks`, each channel rounded to its width.
inline std::string packPixel(const graphics::ChannelMasks& masks, int size, const std::array<int, 4>& rgba) {
    const std::uint64_t channels[4] = {masks.red, masks.green, masks.blue, masks.alpha};
    std::uint64_t value = 0;
    for (int c = 0; c < 4; ++c) {
        std::uint64_t mask = channels[c];
        if (mask == 0) {
            continue;
        }
        int shift = 0;
        for (; (mask & 1) == 0; mask >>= 1) {
            ++shift;
        }
        value |= (static_cast<std::uint64_t>(rgba[c]) * mask + 127) / 255 << shift;
    }
    std::string out;
    for (int i = 0; i < size; ++i) {
        out.push_back(static_cast<char>(value >> (8 * i)));
    }
    return out;
}

/// How far the resident memory of a child process rises above what it held
/// before running `action` (exceptions included), in bytes: peak memory with
/// every allocator counted, the libraries' own among them.
template <class F>
std::int64_t peakGrowthOf(F action) {
    const auto kilobytes = [](const char* field) {
        std::FILE* status = std::fopen("/proc/self/status", "r");
        char line[256];
        long value = -1;
        while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr) {
            if (std::strncmp(line, field, std::strlen(field)) == 0) {
                value = std::atol(line + std::strlen(field));
            }
        }
        if (status != nullptr) {
            std::fclose(status);
        }
        return value;
    };
    int channel[2];
    if (pipe(channel) != 0) {
        return -1;
    }
    const pid_t child = fork();
    if (child == 0) {
        // Resets the high-water mark to what is resident now.
        std::FILE* clear = std::fopen("/proc/self/clear_refs", "w");
        if (clear != nullptr) {
            std::fputs("5", clear);
            std::fclose(clear);
        }
        const long before = kilobytes("VmRSS:");
        try {
            action();
        } catch (...) {
        }
        const std::int64_t growth = (kilobytes("VmHWM:") - before) * 1024;
        [[maybe_unused]] const auto written = write(channel[1], &growth, sizeof growth);
        _exit(0);
    }
    close(channel[1]);
    std::int64_t growth = -1;
    if (read(channel[0], &growth, sizeof growth) != sizeof growth) {
        growth = -1;
    }
    close(channel[0]);
    waitpid(child, nullptr, 0);
    return growth;
}

/// The message of the exception of type E that `action` throws; "" when none.
template <class E, class F>
std::string messageOf(F action) {
    try {
        action();
    } catch (const E& error) {
        return error.what();
    }
    return "";
}

/// Little-endian fields, appended.
inline void put8(std::string& out, unsigned value) {
    out.push_back(static_cast<char>(value & 0xFF));
}
inline void put16(std::string& out, unsigned value) {
    put8(out, value);
    put8(out, value >> 8);
}
inline void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}
inline std::string bytes(std::initializer_list<unsigned> values) {
    std::string out;
    for (const unsigned value : values) {
        put8(out, value);
    }
    return out;
}

/// A PNG of packed rows (`rows` holds height rows of the file's row size).
struct PngLayout {
    int width = 1;
    int height = 1;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::string rows;
    std::vector<png_color> palette;
    std::string transparency;  // tRNS alpha bytes for a palette image
    const png_color_16* background = nullptr;
};

inline std::string encodePng(const PngLayout& layout) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("png encoding failed");
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t length) {
            static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<const char*>(data), length);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(layout.width), static_cast<png_uint_32>(layout.height),
                 layout.bitDepth, layout.colourType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty()) {
        png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
    }
    if (!layout.transparency.empty()) {
        png_set_tRNS(png, info, reinterpret_cast<png_const_bytep>(layout.transparency.data()),
                     static_cast<int>(layout.transparency.size()), nullptr);
    }
    if (layout.background != nullptr) {
        png_set_bKGD(png, info, layout.background);
    }
    png_write_info(png, info);
    const std::size_t rowBytes = layout.rows.size() / static_cast<std::size_t>(layout.height);
    std::vector<png_bytep> rows;
    for (int y = 0; y < layout.height; ++y) {
        rows.push_back(reinterpret_cast<png_bytep>(const_cast<char*>(layout.rows.data())) + y * rowBytes);
    }
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

/// A baseline JPEG of RGB pixels; with `jfif` false the file carries an
/// Exif APP1 segment instead of the JFIF APP0 one.
/// `rgb` as a JPEG file; with `stored` JCS_CMYK or JCS_YCCK, `rgb` holds four
/// inks a pixel instead, written as Adobe files do (with their marker).
inline std::string encodeJpeg(int width, int height, const std::string& rgb, bool jfif = true,
                              int quality = 95, J_COLOR_SPACE stored = JCS_YCbCr) {
    const bool inks = stored == JCS_CMYK || stored == JCS_YCCK;
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = inks ? 4 : 3;
    info.in_color_space = inks ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    if (inks) {
        jpeg_set_colorspace(&info, stored);
    }
    jpeg_set_quality(&info, quality, TRUE);
    // Full-resolution colour: no bleeding across the edges of flat areas.
    for (int component = 0; component < info.num_components; ++component) {
        info.comp_info[component].h_samp_factor = 1;
        info.comp_info[component].v_samp_factor = 1;
    }
    info.write_JFIF_header = jfif ? TRUE : FALSE;
    jpeg_start_compress(&info, TRUE);
    if (!jfif) {
        static const char exif[] = "Exif\0\0MM\0*\0\0\0\x08\0\0";
        jpeg_write_marker(&info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(exif), sizeof exif - 1);
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(const_cast<char*>(rgb.data())) +
                       static_cast<std::size_t>(info.next_scanline) * width * info.input_components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

/// One GIF frame: indices in picture order (written in pass order when interlaced).
struct GifFrame {
    int left = 0;
    int top = 0;
    int width = 1;
    int height = 1;
    bool interlaced = false;
    std::vector<GifColorType> colours;  // local colour map; none when empty
    std::string indices;
};

inline std::string encodeGif(int width, int height, int background, const std::vector<GifColorType>& colours,
                             const std::vector<GifFrame>& frames) {
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(
        &out,
        [](GifFileType* g, const GifByteType* data, int length) {
            static_cast<std::string*>(g->UserData)->append(reinterpret_cast<const char*>(data), length);
            return length;
        },
        &error);
    const auto makeMap = [](const std::vector<GifColorType>& map) -> ColorMapObject* {
        return map.empty() ? nullptr : GifMakeMapObject(static_cast<int>(map.size()), map.data());
    };
    ColorMapObject* global = makeMap(colours);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 8, background, global);
    // A graphic control block before each frame, which the reader must skip.
    const GifByteType control[4] = {0, 10, 0, 0};
    for (const GifFrame& frame : frames) {
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
        ColorMapObject* local = makeMap(frame.colours);
        // giflib's encoder forgets, without freeing, the last frame's map
        // when the next frame has none.
        if (local == nullptr && gif->Image.ColorMap != nullptr) {
            GifFreeMapObject(gif->Image.ColorMap);
            gif->Image.ColorMap = nullptr;
        }
        EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, frame.interlaced, local);
        std::vector<int> order;
        if (frame.interlaced) {
            for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
                for (int y = start; y < frame.height; y += step) {
                    order.push_back(y);
                }
            }
        } else {
            for (int y = 0; y < frame.height; ++y) {
                order.push_back(y);
            }
        }
        for (const int y : order) {
            EGifPutLine(
                gif,
                reinterpret_cast<GifPixelType*>(const_cast<char*>(frame.indices.data())) + y * frame.width,
                frame.width);
        }
        GifFreeMapObject(local);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(global);
    return out;
}

}  // namespace nevrik::testing

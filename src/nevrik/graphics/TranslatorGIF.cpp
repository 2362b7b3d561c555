#include "nevrik/graphics/TranslatorGIF.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/detail/Decoding.h"
#include "nevrik/graphics/detail/PixelBuffer.h"
#include "nevrik/io/TranslatorFormatException.h"

#include <gif_lib.h>

#include <cstring>
#include <exception>

namespace nevrik::graphics {
namespace {

// Interlaced frames store rows in four passes.
constexpr int kPassStart[] = {0, 4, 2, 1};
constexpr int kPassStep[] = {8, 8, 4, 2};

struct Source {
    io::InputStream* stream;
    std::exception_ptr failure;
};

int readData(GifFileType* gif, GifByteType* bytes, int length) {
    auto& source = *static_cast<Source*>(gif->UserData);
    try {
        return detail::readFully(*source.stream, bytes, length);
    } catch (...) {
        source.failure = std::current_exception();
        return 0;
    }
}

// Closes the file however the read ends; close() reports whether giflib was content.
class GifFile {
public:
    explicit GifFile(Source& source) {
        int error = 0;
        mGif = DGifOpen(&source, readData, &error);
    }
    GifFile(const GifFile&) = delete;
    GifFile& operator=(const GifFile&) = delete;
    ~GifFile() { close(); }

    GifFileType* get() const noexcept { return mGif; }
    bool close() noexcept {
        int error = 0;
        const bool closed = mGif == nullptr || DGifCloseFile(mGif, &error) == GIF_OK;
        mGif = nullptr;
        return closed;
    }

private:
    GifFileType* mGif;
};

// Any failing giflib call: the stream's own exception when it caused it.
[[noreturn]] void fail(const Source& source) {
    if (source.failure) {
        std::rethrow_exception(source.failure);
    }
    throw io::TranslatorFormatException();
}

void require(int result, const Source& source) {
    if (result == GIF_ERROR) {
        fail(source);
    }
}

void readFrame(GifFileType* gif, detail::PixelBuffer& screen, const Source& source) {
    const GifImageDesc& frame = gif->Image;
    if (frame.Left + frame.Width > gif->SWidth || frame.Top + frame.Height > gif->SHeight) {
        throw io::TranslatorFormatException();
    }
    if (frame.Width == 0 || frame.Height == 0) {
        // No rows to ask for: skip the frame's coded data instead.
        int codeSize = 0;
        GifByteType* block = nullptr;
        require(DGifGetCode(gif, &codeSize, &block), source);
        while (block != nullptr) {
            require(DGifGetCodeNext(gif, &block), source);
        }
        return;
    }
    // The screen is reserved as far down as frames reach.
    const std::int64_t pitch = gif->SWidth;
    const auto rowAt = [&](int y) {
        const std::int64_t row = std::int64_t{frame.Top} + y;
        return screen.reach((row + 1) * pitch) + row * pitch + frame.Left;
    };
    if (frame.Interlace) {
        for (int pass = 0; pass < 4; ++pass) {
            for (int y = kPassStart[pass]; y < frame.Height; y += kPassStep[pass]) {
                require(DGifGetLine(gif, rowAt(y), frame.Width), source);
            }
        }
    } else {
        for (int y = 0; y < frame.Height; ++y) {
            require(DGifGetLine(gif, rowAt(y), frame.Width), source);
        }
    }
}

void skipExtension(GifFileType* gif, const Source& source) {
    int code = 0;
    GifByteType* block = nullptr;
    require(DGifGetExtension(gif, &code, &block), source);
    while (block != nullptr) {
        require(DGifGetExtensionNext(gif, &block), source);
    }
}

Palette<uchar> paletteOf(const ColorMapObject* map) {
    Palette<uchar> palette;
    if (map == nullptr) {
        // Nothing says what the indices mean: show them as grey levels.
        for (int i = 0; i < Palette<uchar>::kSize; ++i) {
            palette.setEntry(i, static_cast<uchar>(i), static_cast<uchar>(i), static_cast<uchar>(i), 0);
        }
        return palette;
    }
    for (int i = 0; i < map->ColorCount && i < Palette<uchar>::kSize; ++i) {
        const GifColorType& colour = map->Colors[i];
        palette.setEntry(i, colour.Red, colour.Green, colour.Blue, 0);
    }
    return palette;
}

}  // namespace

object::Pointer<Image> TranslatorGIF::read(io::InputStream& stream, std::uint32_t) {
    Source source{&stream, nullptr};
    GifFile file(source);
    GifFileType* gif = file.get();
    if (gif == nullptr) {
        fail(source);
    }
    detail::PixelBuffer screen(PIXEL_INDEX8, gif->SWidth, gif->SHeight, getMemoryLimit(),
                               static_cast<std::uint8_t>(gif->SBackGroundColor));
    for (GifRecordType type = UNDEFINED_RECORD_TYPE; type != TERMINATE_RECORD_TYPE;) {
        require(DGifGetRecordType(gif, &type), source);
        if (type == IMAGE_DESC_RECORD_TYPE) {
            require(DGifGetImageDesc(gif), source);
            readFrame(gif, screen, source);
        } else if (type == EXTENSION_RECORD_TYPE) {
            skipExtension(gif, source);
        }
    }
    const object::Pointer<Bitmap> image = screen.finish();
    image->setPalette(paletteOf(gif->Image.ColorMap != nullptr ? gif->Image.ColorMap : gif->SColorMap));
    if (!file.close()) {
        throw io::TranslatorFormatException();
    }
    return image;
}

bool TranslatorGIF::write(io::OutputStream&, Image&) {
    return false;
}

bool TranslatorGIF::probe(io::File& file) {
    std::uint8_t magic[4] = {};
    return detail::peek(file, magic, 4) == 4 && std::memcmp(magic, "GIF8", 4) == 0;
}

}  // namespace nevrik::graphics

#include "nevrik/graphics3d/core/Texture2D.h"

#include "nevrik/graphics/FilterDecompress.h"
#include "nevrik/graphics/FilterResize.h"
#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/Palette.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/TextureException.h"
#include "nevrik/graphics3d/core/TypeException.h"
#include "nevrik/graphics3d/core/detail/TextureFormat.h"
#include "nevrik/object/Pointer.h"

#include <GL/glew.h>

#include <utility>

namespace nevrik::graphics3d {
namespace {

constexpr int kMaxChainLevels = 256;

// More error flags than a driver keeps; the bound also ends the loop where
// glGetError cannot clear its flag.
constexpr int kErrorFlags = 32;

void clearErrors() {
    for (int i = 0; i < kErrorFlags && glGetError() != GL_NO_ERROR; ++i) {
    }
}

void throwOnError() {
    if (glGetError() != GL_NO_ERROR) {
        throw TextureException();
    }
}

detail::GlPixelFormat translate(std::uint32_t pixelFormat) {
    detail::GlPixelFormat gl;
    if (!detail::translatePixelFormat(pixelFormat, gl)) {
        throw TypeException();
    }
    return gl;
}

// The smallest power of two not below `side` (1 for 0 and 1). Throws
// TextureException beyond the driver's largest texture.
std::int32_t powerOfTwo(std::int32_t side) {
    if (side < 0) {
        throw TextureException();
    }
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    std::int64_t result = 1;
    while (result < side) {
        result *= 2;
    }
    if (result > limit) {
        throw TextureException();
    }
    return static_cast<std::int32_t>(result);
}

// Compressed blocks go up as they are where the driver reads S3TC and the
// size needs no resize, which would have to decode them anyway.
bool uploadsBlocks(const graphics::Image& image) {
    const auto powerOfTwo = [](std::int32_t side) { return side > 0 && (side & (side - 1)) == 0; };
    return GLEW_EXT_texture_compression_s3tc && powerOfTwo(image.getWidth()) && powerOfTwo(image.getHeight());
}

// The pixel-transfer and unpacking state an upload of `image` needs. An
// indexed image goes through the colour maps, which are switched off again
// afterwards: left on, they would map every later RGBA transfer, reads of
// the framebuffer included.
class PixelTransfer {
public:
    PixelTransfer(const graphics::Image& image, GLint rowLength) {
        const bool indexed = image.getFormat() == graphics::PIXEL_INDEX8;
        glPixelTransferi(GL_MAP_COLOR, indexed ? 1 : 0);
        glPixelTransferi(GL_MAP_STENCIL, 0);
        if (indexed) {
            glPixelTransferi(GL_INDEX_SHIFT, 0);
            glPixelTransferi(GL_INDEX_OFFSET, 0);
            sendPalette(image);
        }
        glPixelStorei(GL_UNPACK_SWAP_BYTES, 0);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    ~PixelTransfer() { glPixelTransferi(GL_MAP_COLOR, 0); }
    PixelTransfer(const PixelTransfer&) = delete;
    PixelTransfer& operator=(const PixelTransfer&) = delete;

private:
    // Components 0, 1 and 2 of each entry are red, green and blue.
    static void sendPalette(const graphics::Image& image) {
        graphics::Palette<graphics::uchar> palette;
        image.getPalette(palette);
        constexpr int kSize = graphics::Palette<graphics::uchar>::kSize;
        GLfloat maps[3][kSize];
        for (int entry = 0; entry < kSize; ++entry) {
            for (int component = 0; component < 3; ++component) {
                maps[component][entry] = palette.getEntry(entry)[component] / 255.0f;
            }
        }
        glPixelMapfv(GL_PIXEL_MAP_I_TO_R, kSize, maps[0]);
        glPixelMapfv(GL_PIXEL_MAP_I_TO_G, kSize, maps[1]);
        glPixelMapfv(GL_PIXEL_MAP_I_TO_B, kSize, maps[2]);
    }
};

// Hands the pixels of `image` (null when it has none) to `upload` while the
// image is locked.
template <class Upload>
auto withPixels(graphics::Image& image, const Upload& upload) {
    image.setLocked(true);
    const auto result = upload(image.lock());
    image.unlock();
    image.setLocked(false);
    return result;
}

// The start both create forms share: the format's translation, the
// power-of-two size and a new texture name bound on the active unit. The
// name is deleted again unless a Texture2D takes it over.
class NewTexture {
public:
    NewTexture(std::uint32_t format, std::int32_t width, std::int32_t height)
        : mGl(translate(format)), mWidth(powerOfTwo(width)), mHeight(powerOfTwo(height)) {
        // Without a current context the GL entry points may not even be
        // loaded: calling one would jump to null.
        if (Context::current() == nullptr) {
            throw TextureException();
        }
        clearErrors();
        glGenTextures(1, &mName);
        if (glGetError() != GL_NO_ERROR || mName == 0) {
            throw TextureException();
        }
        glBindTexture(GL_TEXTURE_2D, mName);
        if (glGetError() != GL_NO_ERROR) {
            abandon();
            throw TextureException();
        }
    }
    ~NewTexture() { abandon(); }
    NewTexture(const NewTexture&) = delete;
    NewTexture& operator=(const NewTexture&) = delete;

    const detail::GlPixelFormat& getGl() const noexcept { return mGl; }
    std::int32_t getWidth() const noexcept { return mWidth; }
    std::int32_t getHeight() const noexcept { return mHeight; }
    GLuint release() noexcept { return std::exchange(mName, 0); }

private:
    // Deleting the name unbinds it from the active unit, which the context
    // may still record as holding the texture bound there before.
    void abandon() noexcept {
        if (mName == 0) {
            return;
        }
        glDeleteTextures(1, &mName);
        mName = 0;
        if (Context* context = Context::peek()) {
            GLint active = GL_TEXTURE0;
            glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
            context->setBoundTexture(active - GL_TEXTURE0, nullptr, GL_TEXTURE_2D);
        }
    }

    detail::GlPixelFormat mGl;
    std::int32_t mWidth;
    std::int32_t mHeight;
    GLuint mName = 0;
};

}  // namespace

Texture2D::Texture2D(std::uint32_t name) : Texture(name, GL_TEXTURE_2D) {
    // The base bound it.
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &mWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &mHeight);
}

object::Pointer<Texture2D> Texture2D::create(graphics::Image& image, std::int32_t levels) {
    if (graphics::isCompressed(image.getFormat()) && !uploadsBlocks(image)) {
        const object::Pointer<graphics::Image> decoded = graphics::FilterDecompress().apply(image);
        if (!decoded) {
            throw TextureException();
        }
        return create(*decoded, levels);
    }
    NewTexture texture(image.getFormat(), image.getWidth(), image.getHeight());
    const detail::GlPixelFormat& gl = texture.getGl();
    const PixelTransfer transfer(image, 0);
    int count = levels;
    if (levels == kGeneratedLevels) {
        glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
        count = 1;
    } else if (levels == kAllLevels) {
        glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_FALSE);
        count = kMaxChainLevels;
    }
    object::Pointer<graphics::Image> source(&image);
    if (image.getWidth() != texture.getWidth() || image.getHeight() != texture.getHeight()) {
        source = graphics::FilterResize(texture.getWidth(), texture.getHeight()).apply(image);
        if (!source) {
            throw TextureException();
        }
    }
    // A level of another format would be read with the wrong pixel size.
    int level = 0;
    for (graphics::Image* current = source.get();
         current != nullptr && level < count && current->getFormat() == image.getFormat();
         current = current->getNext(), ++level) {
        withPixels(*current, [&](const std::uint8_t* pixels) {
            if (graphics::isCompressed(current->getFormat())) {
                const auto bytes = static_cast<GLsizei>(
                    graphics::getImageBytes(current->getFormat(), current->getWidth(), current->getHeight()));
                glCompressedTexImage2D(GL_TEXTURE_2D, level, gl.internalFormat, current->getWidth(),
                                       current->getHeight(), 0, bytes, pixels);
            } else {
                glTexImage2D(GL_TEXTURE_2D, level, static_cast<GLint>(gl.internalFormat), current->getWidth(),
                             current->getHeight(), 0, gl.format, gl.type, pixels);
            }
            return true;
        });
    }
    source.reset();
    throwOnError();
    return object::make<Texture2D>(texture.release());
}

object::Pointer<Texture2D> Texture2D::create(std::uint32_t format, std::int32_t width, std::int32_t height,
                                             std::int32_t levels) {
    NewTexture texture(format, width, height);
    const detail::GlPixelFormat& gl = texture.getGl();
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, levels == kGeneratedLevels ? GL_TRUE : GL_FALSE);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(gl.internalFormat), texture.getWidth(),
                 texture.getHeight(), 0, gl.format, gl.type, nullptr);
    throwOnError();
    return object::make<Texture2D>(texture.release());
}

bool Texture2D::update(graphics::Image& image, std::int32_t level) {
    if (graphics::isCompressed(image.getFormat())) {
        const object::Pointer<graphics::Image> decoded = graphics::FilterDecompress().apply(image);
        return decoded && update(*decoded, level);
    }
    const detail::GlPixelFormat gl = translate(image.getFormat());
    const PixelTransfer transfer(image, image.getWidth());
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    clearErrors();
    glBindTexture(GL_TEXTURE_2D, getTextureName());
    const bool sent = withPixels(image, [&](const std::uint8_t* pixels) {
        // Without pixels the driver would read from address 0.
        if (pixels == nullptr) {
            return false;
        }
        glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, image.getWidth(), image.getHeight(), gl.format, gl.type,
                        pixels);
        return true;
    });
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return sent && glGetError() == GL_NO_ERROR;
}

}  // namespace nevrik::graphics3d

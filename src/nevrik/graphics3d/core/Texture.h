#pragma once

#include "nevrik/graphics3d/core/Resource.h"
#include "nevrik/object/Noncopyable.h"

#include <cstdint>

namespace nevrik::system {
class Assembler;
}

namespace nevrik::graphics3d {

/// One OpenGL texture object and its sampling parameters. The target tells
/// the kinds apart: GL_TEXTURE_1D, GL_TEXTURE_2D (Texture2D, the kind made
/// from images), GL_TEXTURE_3D and GL_TEXTURE_CUBE_MAP.
///
/// Reference-counted; appearances, framebuffers and the texture manager hold
/// references. Owns its GL name, which dies with it. Used on the thread of
/// the current context, which should be the one it was made with.
class Texture : public Resource, private object::Noncopyable {
public:
    /// Sampling filters and wrap modes, OpenGL's values (Texture.cpp holds
    /// them to GL's own names) so that headers need no GL include.
    static constexpr std::uint32_t kNearest = 0x2600;
    static constexpr std::uint32_t kLinear = 0x2601;
    static constexpr std::uint32_t kNearestMipmapNearest = 0x2700;
    static constexpr std::uint32_t kLinearMipmapNearest = 0x2701;
    static constexpr std::uint32_t kNearestMipmapLinear = 0x2702;
    static constexpr std::uint32_t kLinearMipmapLinear = 0x2703;
    static constexpr std::uint32_t kRepeat = 0x2901;

    /// Takes over the GL texture `name` on `target`: binds it on the active
    /// unit (and records that in the current context), reads back its level-0
    /// internal format and its highest level, and sends the default sampling
    /// parameters (nearest filtering, repeat wrapping, levels of detail -1000
    /// to 1000).
    Texture(std::uint32_t name, std::uint32_t target);
    /// Deletes the GL name and leaves every texture unit record of the
    /// current context that holds this texture.
    ~Texture() override;

    NEVRIK_CLASS_NAME(Resource, ":Texture")

    /// Binds the texture to `unit` through the current context's record,
    /// unless it is bound there already; returns whether anything was sent.
    /// False for a unit outside 0..7 or without a current context.
    bool bindToUnit(int unit);
    /// Appends to `assembler` a call that records the texture as bound to
    /// `unit` in the current context and binds it there, without comparing.
    /// False, appending nothing, for a unit outside 0..7.
    bool compileBindToUnit(system::Assembler& assembler, int unit) const;
    /// Sets the minifying and magnifying filters; the texture bound before
    /// on the active unit is bound again afterwards, so the context's record
    /// stays true.
    void setFilter(std::uint32_t minFilter, std::uint32_t magFilter);

    /// Mipmap levels it may hold: the highest level read back plus one.
    std::int32_t getLevels() const noexcept { return mLevels; }
    /// The pixel format (graphics/PixelFormat.h) matching the level-0
    /// internal format, or 0 for one without a match.
    std::uint32_t getFormat() const noexcept { return mFormat; }
    std::uint32_t getMagFilter() const noexcept { return mMagFilter; }
    std::uint32_t getMinFilter() const noexcept { return mMinFilter; }
    float getMaxLod() const noexcept { return mMaxLod; }
    float getMinLod() const noexcept { return mMinLod; }
    std::uint32_t getWrapS() const noexcept { return mWrapS; }
    std::uint32_t getWrapT() const noexcept { return mWrapT; }
    std::uint32_t getWrapR() const noexcept { return mWrapR; }
    std::uint32_t getTextureName() const noexcept { return mName; }
    std::uint32_t getTarget() const noexcept { return mTarget; }
    /// The glGetIntegerv query of the texture bound on the target.
    std::uint32_t getBindingQuery() const noexcept { return mBindingQuery; }

private:
    std::int32_t mLevels = 0;
    std::uint32_t mFormat = 0;
    std::uint32_t mMagFilter = kNearest;
    std::uint32_t mMinFilter = kNearest;
    float mMaxLod = 1000.0f;
    float mMinLod = -1000.0f;
    std::uint32_t mWrapS = kRepeat;
    std::uint32_t mWrapT = kRepeat;
    std::uint32_t mWrapR = kRepeat;
    std::uint32_t mName;
    std::uint32_t mTarget;
    std::uint32_t mBindingQuery = 0;
};

}  // namespace nevrik::graphics3d

#pragma once

#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// The layout of one vertex: up to sixteen entries, each a type word (see
/// TypeWord), the byte offset in the vertex and the vertex components it
/// feeds (the array bits below: position, normal, colour, ..., texture
/// units). Entries lie back to back; the stride is the sum of their
/// sizes. An entry whose mask is 0 is not in use and may be filled later.
///
/// A value: copied into every vertex buffer made from it. Not synchronised.
class VertexFormat : public object::Object {
public:
    static constexpr int kMaxEntries = 16;
    static constexpr int kTextureUnits = 8;

    /// Vertex-array bits: which vertex components an entry feeds, and which
    /// client arrays a shader or the context has on.
    static constexpr std::uint32_t kPositionArray = 0x1;
    static constexpr std::uint32_t kNormalArray = 0x4;
    static constexpr std::uint32_t kColourArray = 0x10;
    static constexpr std::uint32_t kWeightArray = 0x40;
    static constexpr std::uint32_t kFogArray = 0x80;
    static constexpr std::uint32_t kEdgeFlagArray = 0x100;
    /// Texture coordinates of unit i: kTextureArray << i.
    static constexpr std::uint32_t kTextureArray = 0x1000;
    /// Texture coordinates of every unit.
    static constexpr std::uint32_t kAllTextureArrays =
        ((kTextureArray << kTextureUnits) - 1) & ~(kTextureArray - 1);

    struct Entry {
        std::uint32_t type = 0;
        std::uint32_t mask = 0;
        std::uint32_t offset = 0;
        /// Component count and GL type; filled in a vertex buffer's copy.
        std::uint32_t count = 0;
        std::uint32_t glType = 0;
    };

    VertexFormat() noexcept = default;

    NEVRIK_CLASS_NAME(object::Object, ":VertexFormat")

    /// Puts `type` and `mask` into the first unused entry among those in use,
    /// or else appends an entry; later entries move up by the new size.
    /// Returns the entry's index, or -1, changing nothing, when all sixteen
    /// are taken.
    int add(std::uint32_t type, std::uint32_t mask) noexcept;
    /// Replaces entry `index`. An index beyond the entries in use brings the
    /// entries up to it into use (empty ones at the end of the vertex); an
    /// index inside moves the later entries by the change in size. Returns
    /// false, changing nothing, unless 0 <= index < kMaxEntries.
    bool set(int index, std::uint32_t type, std::uint32_t mask) noexcept;
    /// Adds every entry of `other` that has a type or a mask. Returns false
    /// when some did not fit; those that fit stay added. `other` may be this
    /// format.
    bool append(const VertexFormat& other) noexcept;

    /// Equal when every entry that either side uses has the same mask, type
    /// and offset on both.
    friend bool operator==(const VertexFormat& a, const VertexFormat& b) noexcept;
    friend bool operator!=(const VertexFormat& a, const VertexFormat& b) noexcept { return !(a == b); }

    /// Entry `index`, or null unless 0 <= index < kMaxEntries.
    const Entry* getEntry(int index) const noexcept;
    std::uint32_t getStride() const noexcept { return mStride; }
    int getEntryCount() const noexcept { return mEntryCount; }

private:
    friend class VertexBuffer;

    Entry mEntries[kMaxEntries];
    std::uint32_t mStride = 0;
    int mEntryCount = 0;
};

}  // namespace nevrik::graphics3d

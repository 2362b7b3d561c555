#include "nevrik/graphics3d/core/VertexFormat.h"

#include "nevrik/graphics3d/core/TypeWord.h"

namespace nevrik::graphics3d {

int VertexFormat::add(std::uint32_t type, std::uint32_t mask) noexcept {
    int index = 0;
    while (index < mEntryCount && mEntries[index].mask != 0) {
        ++index;
    }
    return set(index, type, mask) ? index : -1;
}

bool VertexFormat::set(int index, std::uint32_t type, std::uint32_t mask) noexcept {
    if (index < 0 || index >= kMaxEntries) {
        return false;
    }
    for (; mEntryCount <= index; ++mEntryCount) {
        mEntries[mEntryCount] = Entry();
        mEntries[mEntryCount].offset = mStride;
    }
    Entry& entry = mEntries[index];
    // A gap may still hold a type of its own: its size leaves as the new one
    // comes, so the stride stays the sum of the sizes.
    const std::uint32_t change = TypeWord::getSize(type) - TypeWord::getSize(entry.type);
    entry.type = type;
    entry.mask = mask;
    for (int later = index + 1; later < mEntryCount; ++later) {
        mEntries[later].offset += change;
    }
    mStride += change;
    return true;
}

bool VertexFormat::append(const VertexFormat& other) noexcept {
    // Copied first: appending a format to itself must not see its own additions.
    const VertexFormat source = other;
    bool all = true;
    for (int i = 0; i < source.mEntryCount; ++i) {
        const Entry& entry = source.mEntries[i];
        if ((entry.type != 0 || entry.mask != 0) && add(entry.type, entry.mask) < 0) {
            all = false;
        }
    }
    return all;
}

bool operator==(const VertexFormat& a, const VertexFormat& b) noexcept {
    for (int i = 0; i < VertexFormat::kMaxEntries; ++i) {
        const VertexFormat::Entry& x = a.mEntries[i];
        const VertexFormat::Entry& y = b.mEntries[i];
        if ((x.mask != 0 || y.mask != 0) && (x.mask != y.mask || x.type != y.type || x.offset != y.offset)) {
            return false;
        }
    }
    return true;
}

const VertexFormat::Entry* VertexFormat::getEntry(int index) const noexcept {
    return index >= 0 && index < kMaxEntries ? &mEntries[index] : nullptr;
}

}  // namespace nevrik::graphics3d

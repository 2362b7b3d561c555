#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// The layout of a block of per-draw parameters (a model's matrices, say):
/// named values, each a type word (see TypeWord) at a byte offset, back to
/// back in the order they were added.
///
/// A value owned by its user (a model), or reference-counted when parameter
/// buffers made from it must outlive that user. Not synchronised.
class ParameterFormat : public object::Object {
public:
    /// Characters of a name that count.
    static constexpr int kNameLength = 64;

    struct Component {
        /// At most kNameLength characters, always terminated.
        char name[2 * kNameLength] = {};
        std::uint32_t offset = 0;
        std::uint32_t type = 0;
    };

    ParameterFormat() noexcept = default;

    NEVRIK_CLASS_NAME(object::Object, ":ParameterFormat")

    /// Appends a component named after the first kNameLength characters of
    /// `name` (null reads as "") at the end of the block; the block grows by
    /// the type word's size. Returns the component's index.
    int add(const char* name, std::uint32_t type);
    /// The first component whose name matches `name` in its first
    /// kNameLength characters, or null.
    const Component* find(const char* name) const noexcept;
    /// Forgets every component.
    void clear() noexcept;

    const container::Array<Component>& getComponents() const noexcept { return mComponents; }
    /// Size of the block in bytes.
    std::uint32_t getTotal() const noexcept { return mTotal; }

private:
    container::Array<Component> mComponents;
    std::uint32_t mTotal = 0;
};

}  // namespace nevrik::graphics3d

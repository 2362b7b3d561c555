#pragma once

#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::system {

/// A named place in a Program's code.
///
/// A plain value held by its Program. `address` is the code offset at which
/// the label was placed until the program is finalised, then the absolute
/// address of that place.
struct Label {
    static constexpr int kNameSize = 64;

    Label() noexcept = default;
    /// Copies at most kNameSize characters of `text` (null reads as "") like
    /// strncpy: the rest is NUL-padded, and a name of kNameSize characters or
    /// more is cut and has no terminating NUL.
    Label(const char* text, std::uintptr_t place) noexcept;

    /// The name as stored, cut to kNameSize characters.
    types::String getName() const;

    char name[kNameSize] = {};
    std::uintptr_t address = 0;
};

}  // namespace nevrik::system

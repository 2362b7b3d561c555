#pragma once

#include <cstdint>

namespace nevrik::graphics3d {

/// The 32-bit type word of vertex entries and parameters: bits 0-7 the
/// scalar code (bits 0-3 its size in bytes, bit 4 unsigned, bit 5 floating
/// point), bits 8-15 the component count, bits 16-27 the value's total size
/// in bytes.
///
/// Static helpers only; usable from any thread.
struct TypeWord {
    static constexpr std::uint32_t kInvalid = 0;
    static constexpr std::uint32_t kChar = 1;
    static constexpr std::uint32_t kShort = 2;
    static constexpr std::uint32_t kInt = 4;
    static constexpr std::uint32_t kUChar = 17;
    static constexpr std::uint32_t kUShort = 18;
    static constexpr std::uint32_t kUInt = 20;
    static constexpr std::uint32_t kFloat = 36;
    static constexpr std::uint32_t kDouble = 40;

    /// The type word of `count` scalars of code `scalar`.
    static constexpr std::uint32_t make(std::uint32_t scalar, std::uint32_t count) noexcept {
        return (scalar & 0xFF) | (count & 0xFF) << 8 | ((scalar & 0xF) * (count & 0xFF) & 0xFFF) << 16;
    }

    static constexpr std::uint32_t kFloat2 = 0x00080224;
    static constexpr std::uint32_t kFloat3 = 0x000C0324;
    static constexpr std::uint32_t kFloat4 = 0x00100424;
    /// A 4 x 4 float matrix.
    static constexpr std::uint32_t kMatrix4 = 0x00401024;

    static constexpr std::uint32_t getScalar(std::uint32_t type) noexcept { return type & 0xFF; }
    static constexpr std::uint32_t getScalarSize(std::uint32_t type) noexcept { return type & 0xF; }
    static constexpr std::uint32_t getCount(std::uint32_t type) noexcept { return type >> 8 & 0xFF; }
    static constexpr std::uint32_t getSize(std::uint32_t type) noexcept { return type >> 16 & 0xFFF; }

    /// Display name of a scalar code: "invalid", "char", "short", "int",
    /// "uchar", "ushort", "uint", "float" or "double"; "invalid" for a code
    /// not in that list.
    static const char* getName(std::uint32_t scalar) noexcept;
    /// The GL type of a vertex entry of scalar code `scalar` (GL_BYTE ...
    /// GL_DOUBLE); 0 for a code not in the table.
    static std::uint32_t getGlType(std::uint32_t scalar) noexcept;
};

static_assert(TypeWord::make(TypeWord::kFloat, 2) == TypeWord::kFloat2 &&
                  TypeWord::make(TypeWord::kFloat, 3) == TypeWord::kFloat3 &&
                  TypeWord::make(TypeWord::kFloat, 4) == TypeWord::kFloat4 &&
                  TypeWord::make(TypeWord::kFloat, 16) == TypeWord::kMatrix4,
              "make() builds the common type words");

}  // namespace nevrik::graphics3d

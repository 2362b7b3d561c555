#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nevrik::modelgen {

/// A growing byte buffer that stores numbers little-endian whatever the host's order.
///
/// Owned by value by the writer that fills it; single-threaded.
class LittleEndianWriter {
public:
    void putU8(std::uint8_t value) { mBytes.push_back(value); }
    void putU16(std::uint16_t value);
    void putU32(std::uint32_t value);
    /// IEEE 754 single precision, stored as its 32-bit pattern.
    void putF32(float value);
    /// The characters of `text` followed by a NUL.
    void putString(const std::string& text);
    /// Overwrites four bytes already written at `offset`.
    void patchU32(std::size_t offset, std::uint32_t value);

    std::size_t size() const noexcept { return mBytes.size(); }
    const std::vector<std::uint8_t>& bytes() const noexcept { return mBytes; }

    /// Writes the buffer to `path`, replacing the file. Throws std::runtime_error naming
    /// the path when the file cannot be written whole.
    void save(const std::string& path) const;

private:
    std::vector<std::uint8_t> mBytes;
};

}  // namespace nevrik::modelgen

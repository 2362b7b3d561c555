#include "modelgen/LittleEndianWriter.h"

#include <cassert>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace nevrik::modelgen {

void LittleEndianWriter::putU16(std::uint16_t value) {
    putU8(static_cast<std::uint8_t>(value));
    putU8(static_cast<std::uint8_t>(value >> 8));
}

void LittleEndianWriter::putU32(std::uint32_t value) {
    putU16(static_cast<std::uint16_t>(value));
    putU16(static_cast<std::uint16_t>(value >> 16));
}

void LittleEndianWriter::putF32(float value) {
    static_assert(sizeof(float) == sizeof(std::uint32_t), "floats must be 32-bit");
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    putU32(bits);
}

void LittleEndianWriter::putString(const std::string& text) {
    mBytes.insert(mBytes.end(), text.begin(), text.end());
    putU8(0);
}

void LittleEndianWriter::patchU32(std::size_t offset, std::uint32_t value) {
    assert(offset + 4 <= mBytes.size());
    for (int i = 0; i < 4; ++i) {
        mBytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void LittleEndianWriter::save(const std::string& path) const {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(mBytes.data()), static_cast<std::streamsize>(mBytes.size()));
    file.close();
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace nevrik::modelgen

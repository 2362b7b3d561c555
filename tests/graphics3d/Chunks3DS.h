#pragma once

// Builds small 3DS files byte by byte for the model reader's tests: every
// helper returns the little-endian bytes of one value or one whole chunk.

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

namespace nevrik::graphics3d::chunks {

inline std::string u16(std::uint32_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)};
}

inline std::string u32(std::uint32_t value) {
    return u16(value & 0xFFFF) + u16(value >> 16);
}

inline std::string f32(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return u32(bits);
}

inline std::string floats(std::initializer_list<float> values) {
    std::string bytes;
    for (float value : values) {
        bytes += f32(value);
    }
    return bytes;
}

inline std::string words(std::initializer_list<std::uint32_t> values) {
    std::string bytes;
    for (std::uint32_t value : values) {
        bytes += u16(value);
    }
    return bytes;
}

// A NUL-terminated string.
inline std::string text(const std::string& value) {
    return value + '\0';
}

// A chunk whose length field says `length` whatever the body holds.
inline std::string header(std::uint32_t id, std::uint32_t length) {
    return u16(id) + u32(length);
}

inline std::string chunk(std::uint32_t id, const std::string& body = {}) {
    return header(id, static_cast<std::uint32_t>(body.size() + 6)) + body;
}

inline std::string mainChunk(const std::string& body = {}) {
    return chunk(0x4D4D, body);
}
inline std::string editor(const std::string& body = {}) {
    return chunk(0x3D3D, body);
}

inline std::string rgbBytes(int r, int g, int b) {
    return chunk(0x0011, std::string{static_cast<char>(r), static_cast<char>(g), static_cast<char>(b)});
}
inline std::string percentage(std::uint32_t percent) {
    return chunk(0x0030, u16(percent));
}

// A material entry named `name` followed by `body` (colour, percentage and
// map chunks).
inline std::string material(const std::string& name, const std::string& body = {}) {
    return chunk(0xAFFF, chunk(0xA000, text(name)) + body);
}

inline std::string vertexList(std::uint32_t count, const std::string& values) {
    return chunk(0x4110, u16(count) + values);
}
inline std::string texCoordList(std::uint32_t count, const std::string& values) {
    return chunk(0x4140, u16(count) + values);
}
// `faces` holds a, b, c and flags of each face; `groups` follows as sub-chunks.
inline std::string faceList(std::uint32_t count, const std::string& faces, const std::string& groups = {}) {
    return chunk(0x4120, u16(count) + faces + groups);
}
inline std::string faceGroup(const std::string& name, std::initializer_list<std::uint32_t> faces) {
    return chunk(0x4130, text(name) + u16(static_cast<std::uint32_t>(faces.size())) + words(faces));
}

// A named object holding one triangle mesh made of `body`.
inline std::string meshObject(const std::string& body, const std::string& name = "object") {
    return chunk(0x4000, text(name) + chunk(0x4100, body));
}

// The unit right triangle in the xy plane, counter-clockwise seen from +z,
// as one mesh object whose single face is grouped under `materialName`.
inline std::string triangleObject(const std::string& materialName) {
    return meshObject(vertexList(3, floats({0, 0, 0, 1, 0, 0, 0, 1, 0})) +
                      faceList(1, words({0, 1, 2, 7}), faceGroup(materialName, {0})));
}

}  // namespace nevrik::graphics3d::chunks

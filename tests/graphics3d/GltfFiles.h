#pragma once

// Builds small glTF files for the model reader's tests and benchmarks: binary
// data goes into one buffer, described by buffer views and accessors written
// as JSON text that a test may change before the file is made.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace nevrik::graphics3d::gltf {

constexpr int kUnsignedByte = 5121;
constexpr int kUnsignedShort = 5123;
constexpr int kUnsignedInt = 5125;
constexpr int kFloat = 5126;

inline std::string base64(const std::string& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        std::uint32_t group = static_cast<std::uint8_t>(bytes[at]) << 16;
        if (at + 1 < bytes.size()) {
            group |= static_cast<std::uint8_t>(bytes[at + 1]) << 8;
        }
        if (at + 2 < bytes.size()) {
            group |= static_cast<std::uint8_t>(bytes[at + 2]);
        }
        for (std::size_t digit = 0; digit < 4; ++digit) {
            text += at + digit <= bytes.size() ? kDigits[group >> (18 - 6 * digit) & 0x3F] : '=';
        }
    }
    return text;
}

inline std::string u32(std::uint32_t value) {
    return std::string(reinterpret_cast<const char*>(&value), 4);
}

// The little-endian bytes of `values`, each cut to `size` bytes.
template <class T>
std::string bytesOf(const std::vector<T>& values, std::size_t size = sizeof(T)) {
    std::string bytes;
    for (const T& value : values) {
        bytes.append(reinterpret_cast<const char*>(&value), size);
    }
    return bytes;
}

struct Builder {
    // Appends `bytes` at the next multiple of four as a buffer view; returns
    // its index. `stride` 0 writes none.
    int view(const std::string& bytes, int stride = 0) {
        data.resize((data.size() + 3) / 4 * 4, '\0');
        views.push_back("{\"buffer\":0,\"byteOffset\":" + std::to_string(data.size()) +
                        ",\"byteLength\":" + std::to_string(bytes.size()) +
                        (stride != 0 ? ",\"byteStride\":" + std::to_string(stride) : std::string()) + "}");
        data += bytes;
        return static_cast<int>(views.size()) - 1;
    }
    // An accessor of `count` elements of `type` over buffer view `view`
    // (none when negative), `extra` JSON members added; returns its index.
    int accessor(int view, int componentType, std::size_t count, const std::string& type,
                 const std::string& extra = "") {
        accessors.push_back(
            "{" + (view >= 0 ? "\"bufferView\":" + std::to_string(view) + "," : std::string()) +
            "\"componentType\":" + std::to_string(componentType) + ",\"count\":" + std::to_string(count) +
            ",\"type\":\"" + type + "\"" + extra + "}");
        return static_cast<int>(accessors.size()) - 1;
    }
    // Floats in a view of their own, `components` a element.
    int floats(const std::vector<float>& values, int components, const std::string& extra = "") {
        static const char* const kTypes[] = {"", "SCALAR", "VEC2", "VEC3", "VEC4"};
        return accessor(view(bytesOf(values)), kFloat, values.size() / static_cast<std::size_t>(components),
                        kTypes[components], extra);
    }
    int indices(const std::vector<std::uint32_t>& values, int componentType) {
        const std::size_t size = componentType == kUnsignedByte ? 1 : componentType == kUnsignedShort ? 2 : 4;
        return accessor(view(bytesOf(values, size)), componentType, values.size(), "SCALAR");
    }

    // The JSON members every file has, then `rest` (meshes, nodes, ...);
    // the buffer as a data URI when `uri` is empty, else `uri` itself.
    std::string json(const std::string& rest, const std::string* uri = nullptr) const {
        std::string text = "{\"asset\":{\"version\":\"2.0\"}";
        if (!data.empty() || uri != nullptr) {
            text += ",\"buffers\":[{\"byteLength\":" + std::to_string(data.size());
            if (uri != nullptr) {
                text += ",\"uri\":\"" + *uri + "\"";
            } else if (!binary) {
                text += ",\"uri\":\"data:application/octet-stream;base64," + base64(data) + "\"";
            }
            text += "}]";
        }
        text += list("bufferViews", views) + list("accessors", accessors);
        return text + (rest.empty() ? "" : "," + rest) + "}";
    }
    // The same as binary glTF, the buffer in its BIN chunk.
    std::string glb(const std::string& rest) {
        binary = true;
        std::string text = json(rest);
        binary = false;
        text.resize((text.size() + 3) / 4 * 4, ' ');
        std::string bin = data;
        bin.resize((bin.size() + 3) / 4 * 4, '\0');
        const std::string chunks =
            u32(static_cast<std::uint32_t>(text.size())) + "JSON" + text +
            (bin.empty() ? "" : u32(static_cast<std::uint32_t>(bin.size())) + "BIN" + '\0' + bin);
        return "glTF" + u32(2) + u32(static_cast<std::uint32_t>(12 + chunks.size())) + chunks;
    }

    static std::string list(const char* name, const std::vector<std::string>& items) {
        if (items.empty()) {
            return "";
        }
        std::string text = ",\"" + std::string(name) + "\":[";
        for (std::size_t i = 0; i < items.size(); ++i) {
            text += (i > 0 ? "," : "") + items[i];
        }
        return text + "]";
    }

    std::string data;
    std::vector<std::string> views;
    std::vector<std::string> accessors;
    bool binary = false;
};

// One node drawing mesh 0 made of `primitives` (JSON objects).
inline std::string oneMesh(const std::string& primitives, const std::string& node = "{\"mesh\":0}") {
    return "\"meshes\":[{\"primitives\":[" + primitives + "]}],\"nodes\":[" + node + "]";
}

}  // namespace nevrik::graphics3d::gltf

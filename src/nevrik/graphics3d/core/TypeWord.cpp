#include "nevrik/graphics3d/core/TypeWord.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {
namespace {

struct Scalar {
    std::uint32_t code;
    const char* name;
    std::uint32_t glType;
};

// In display-name order: the position in this table is the name's index.
constexpr Scalar kScalars[] = {
    {TypeWord::kInvalid, "invalid", 0},
    {TypeWord::kChar, "char", GL_BYTE},
    {TypeWord::kShort, "short", GL_SHORT},
    {TypeWord::kInt, "int", GL_INT},
    {TypeWord::kUChar, "uchar", GL_UNSIGNED_BYTE},
    {TypeWord::kUShort, "ushort", GL_UNSIGNED_SHORT},
    {TypeWord::kUInt, "uint", GL_UNSIGNED_INT},
    {TypeWord::kFloat, "float", GL_FLOAT},
    {TypeWord::kDouble, "double", GL_DOUBLE},
};

const Scalar& find(std::uint32_t scalar) noexcept {
    for (const Scalar& entry : kScalars) {
        if (entry.code == scalar) {
            return entry;
        }
    }
    return kScalars[0];
}

}  // namespace

const char* TypeWord::getName(std::uint32_t scalar) noexcept {
    return find(scalar).name;
}

std::uint32_t TypeWord::getGlType(std::uint32_t scalar) noexcept {
    return find(scalar).glType;
}

}  // namespace nevrik::graphics3d

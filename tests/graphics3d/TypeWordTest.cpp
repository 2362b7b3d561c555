#include "nevrik/graphics3d/TypeWord.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>

namespace nevrik::graphics3d {
namespace {

TEST(TypeWordTest, ScalarTableGivesNamesInIndexOrderAndGlTypes) {
    const std::uint32_t codes[] = {TypeWord::kInvalid, TypeWord::kChar,  TypeWord::kShort,
                                   TypeWord::kInt,     TypeWord::kUChar, TypeWord::kUShort,
                                   TypeWord::kUInt,    TypeWord::kFloat, TypeWord::kDouble};
    const char* names[] = {"invalid", "char", "short", "int", "uchar", "ushort", "uint", "float", "double"};
    const std::uint32_t glTypes[] = {
        0,        GL_BYTE,  GL_SHORT, GL_INT, GL_UNSIGNED_BYTE, GL_UNSIGNED_SHORT, GL_UNSIGNED_INT,
        GL_FLOAT, GL_DOUBLE};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(std::string(TypeWord::getName(codes[i])), names[i]) << i;
        EXPECT_EQ(TypeWord::getGlType(codes[i]), glTypes[i]) << i;
    }
    // Codes outside the table, including ones with a plausible size nibble.
    for (std::uint32_t code : {3u, 8u, 24u, 33u, 255u}) {
        EXPECT_EQ(std::string(TypeWord::getName(code)), "invalid") << code;
        EXPECT_EQ(TypeWord::getGlType(code), 0u) << code;
    }
}

TEST(TypeWordTest, FieldsOfAWord) {
    const std::uint32_t word = TypeWord::make(TypeWord::kDouble, 4);
    EXPECT_EQ(word, 0x200428u);
    EXPECT_EQ(TypeWord::getScalar(word), TypeWord::kDouble);
    EXPECT_EQ(TypeWord::getScalarSize(word), 8u);
    EXPECT_EQ(TypeWord::getCount(word), 4u);
    EXPECT_EQ(TypeWord::getSize(word), 32u);
    EXPECT_EQ(TypeWord::make(TypeWord::kUShort, 3), 0x060312u);
    EXPECT_EQ(TypeWord::getSize(TypeWord::kMatrix4), 64u);
}

}  // namespace
}  // namespace nevrik::graphics3d

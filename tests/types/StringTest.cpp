#include "nevrik/types/String.h"

#include "nevrik/object/Exception.h"

#include <gtest/gtest.h>

#include <string>

namespace nevrik::types {
namespace {

TEST(StringTest, CapacityRuleSteps) {
    EXPECT_EQ(String::capacityFor(1), 64u);
    EXPECT_EQ(String::capacityFor(63), 64u);
    EXPECT_EQ(String::capacityFor(64), 80u);
    EXPECT_EQ(String::capacityFor(79), 80u);
    EXPECT_EQ(String::capacityFor(80), 96u);
    EXPECT_EQ(String::capacityFor(100), 112u);
    EXPECT_EQ(String::capacityFor(127), 128u);
    EXPECT_EQ(String::capacityFor(128), 160u);
    EXPECT_EQ(String::capacityFor(0x10000000u), 0x14000000u);
    // Beyond 2^28 the step stays 2^26.
    EXPECT_EQ(String::capacityFor(0x20000000u), 0x24000000u);
}

TEST(StringTest, EmptyStringsHaveNoBufferAndReadAsEmptyText) {
    String none;
    String fromEmpty("");
    String fromNull(static_cast<const char*>(nullptr));
    for (const String* s : {&none, &fromEmpty, &fromNull}) {
        EXPECT_STREQ(s->c_str(), "");
        EXPECT_EQ(s->getCapacity(), 0u);
        EXPECT_EQ(s->getLength(), 0u);
    }
    String copy(none);
    EXPECT_EQ(copy.getCapacity(), 0u);
}

TEST(StringTest, AssignmentReusesBufferBelowCapacityAndReallocatesAtIt) {
    String s("short");
    ASSERT_EQ(s.getCapacity(), 64u);
    const char* buffer = s.c_str();
    s = std::string(63, 'a').c_str();
    EXPECT_EQ(s.c_str(), buffer);
    EXPECT_EQ(s.getLength(), 63u);
    s = std::string(64, 'b').c_str();
    EXPECT_EQ(s.getCapacity(), 80u);
    EXPECT_EQ(s.getLength(), 64u);
    EXPECT_EQ(s, std::string(64, 'b').c_str());
}

TEST(StringTest, AssigningEmptyTextFreesTheBuffer) {
    String s("text");
    s = "";
    EXPECT_EQ(s.getCapacity(), 0u);
    EXPECT_STREQ(s.c_str(), "");
    s = String();
    EXPECT_EQ(s.getCapacity(), 0u);
}

TEST(StringTest, SelfAssignmentAndAssigningOwnTailKeepText) {
    String s("abcdef");
    const String& alias = s;
    s = alias;
    EXPECT_EQ(s, "abcdef");
    s = s.c_str() + 2;
    EXPECT_EQ(s, "cdef");
}

TEST(StringTest, AppendingEmptyTextToNoBufferLeavesNoBuffer) {
    String s;
    s.append("");
    EXPECT_EQ(s.getCapacity(), 0u);
    s.append("x");
    EXPECT_EQ(s, "x");
    EXPECT_EQ(s.getCapacity(), 64u);
}

TEST(StringTest, AppendingPartOfItselfIsSafeInPlaceAndWhenGrowing) {
    String inPlace("abcd");
    inPlace.append(inPlace.c_str() + 1);
    EXPECT_EQ(inPlace, "abcdbcd");

    String growing(std::string(60, 'x').c_str());
    growing.append("0123");
    ASSERT_EQ(growing.getCapacity(), 80u);
    growing.append(growing.c_str());
    EXPECT_EQ(growing.getLength(), 128u);
    EXPECT_EQ(growing.getCapacity(), 160u);
    EXPECT_EQ(std::string(growing.c_str()), std::string(60, 'x') + "0123" + std::string(60, 'x') + "0123");
}

TEST(StringTest, AppendFillsTheBufferToCapacityMinusOne) {
    String s(std::string(60, 'a').c_str());
    const char* buffer = s.c_str();
    s.append("bcd");
    EXPECT_EQ(s.c_str(), buffer);
    s.append("e");
    EXPECT_NE(s.c_str(), buffer);
    EXPECT_EQ(s.getCapacity(), 80u);
}

TEST(StringTest, ConcatenationSizesByTheSummedLength) {
    String joined = String("Object") + ":String";
    EXPECT_EQ(joined, "Object:String");
    EXPECT_EQ(joined.getLength(), 13u);
    EXPECT_EQ(joined.getCapacity(), 64u);
    String left("abc");
    EXPECT_EQ((left + "").getCapacity(), left.getCapacity());
    EXPECT_EQ(String() + "", "");
}

TEST(StringTest, LowerCaseTouchesOnlyAsciiCapitals) {
    EXPECT_EQ(String("TeXture_01.BMP\xC4").toLowerCase(), "texture_01.bmp\xC4");
    EXPECT_EQ(String().toLowerCase().getCapacity(), 0u);
}

TEST(StringTest, SubstringFromPosition) {
    String abc("abc");
    EXPECT_EQ(abc.substring(1), "bc");
    EXPECT_TRUE(abc.substring(3).isEmpty());
    EXPECT_TRUE(abc.substring(99).isEmpty());
    EXPECT_TRUE(abc.endsWith("bc"));
    EXPECT_FALSE(abc.endsWith("abcd"));
}

TEST(StringTest, OrderingIsUnsignedBytewiseWithEmptyFirst) {
    EXPECT_LT(String(""), String("a"));
    EXPECT_LT(String("ab"), String("abc"));
    EXPECT_LT(String("abc"), String("abd"));
    EXPECT_LT(String("z"), String("\xE9"));
    EXPECT_EQ(String("same").compare(String("same")), 0);
    EXPECT_NE(String("a\0b", 3), String("a\0c", 3));
    EXPECT_LT(String("a\0b", 3), String("a\0c", 3));
}

TEST(StringTest, IsAnObjectNamedByItsText) {
    String s("name");
    EXPECT_EQ(s.getName(), "name");
    EXPECT_EQ(s.toString(), "name");
    EXPECT_EQ(s.className(), "Object:String");
}

TEST(StringTest, RefusesTextBeyondTheLimit) {
    String s("x");
    EXPECT_THROW(s.append("y", String::kMaxLength), object::Exception);
    EXPECT_EQ(s, "x");
}

}  // namespace
}  // namespace nevrik::types

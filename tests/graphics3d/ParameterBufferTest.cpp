#include "nevrik/graphics3d/ParameterBuffer.h"

#include "nevrik/graphics3d/TypeWord.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

namespace nevrik::graphics3d {
namespace {

using Buffer = object::Pointer<ParameterBuffer>;

TEST(ParameterBufferTest, AFormatWithoutComponentsMakesNoBuffer) {
    ParameterFormat empty;
    EXPECT_EQ(ParameterBuffer::create(&empty), nullptr);
    EXPECT_EQ(ParameterBuffer::create(nullptr), nullptr);
}

TEST(ParameterBufferTest, ValuesLieAtTheirOffsetsInAZeroedAlignedBlock) {
    ParameterFormat format;
    format.add("flag", TypeWord::make(TypeWord::kUChar, 1));
    format.add("modelview", TypeWord::kMatrix4);
    const Buffer buffer = Buffer::adopt(ParameterBuffer::create(&format));
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->getSize(), 65u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer->getData()) % alignof(std::max_align_t), 0u);
    EXPECT_GE(buffer->getData(), reinterpret_cast<const std::uint8_t*>(buffer.get() + 1));
    for (std::uint32_t i = 0; i < buffer->getSize(); ++i) {
        ASSERT_EQ(buffer->getData()[i], 0) << i;
    }
    EXPECT_EQ(buffer->find("flag"), buffer->getData());
    EXPECT_EQ(buffer->find("modelview"), buffer->getData() + 1);
    EXPECT_EQ(buffer->find("projection"), nullptr);
    EXPECT_EQ(buffer->getFormat(), &format);
}

TEST(ParameterBufferTest, ComponentsAddedLaterLieOutsideTheBlock) {
    ParameterFormat format;
    format.add("modelview", TypeWord::kMatrix4);
    const Buffer buffer = Buffer::adopt(ParameterBuffer::create(&format));
    format.add("tint", TypeWord::kFloat4);
    EXPECT_EQ(buffer->getSize(), 64u);
    EXPECT_EQ(buffer->find("tint"), nullptr);
    EXPECT_NE(buffer->find("modelview"), nullptr);
}

TEST(ParameterBufferTest, KeepsAReferenceOnItsFormat) {
    auto* format = new ParameterFormat();
    format->add("modelview", TypeWord::kMatrix4);
    ParameterBuffer* buffer = ParameterBuffer::create(format);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(format->getReferenceCount(), 2);
    format->release();
    // The format lives on for the buffer, and dies with it.
    EXPECT_EQ(buffer->getFormat()->find("modelview")->offset, 0u);
    EXPECT_EQ(buffer->getFormat()->getReferenceCount(), 1);
    buffer->release();
}

}  // namespace
}  // namespace nevrik::graphics3d

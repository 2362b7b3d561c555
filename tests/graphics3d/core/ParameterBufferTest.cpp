#include "nevrik/graphics3d/core/ParameterBuffer.h"

#include "nevrik/graphics3d/core/TypeWord.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nevrik::graphics3d {
namespace {

TEST(ParameterBufferTest, ValuesLieInAZeroedAlignedBlockThatKeepsItsFormat) {
    auto* format = new ParameterFormat();
    EXPECT_EQ(ParameterBuffer::create(format), nullptr) << "no components";
    format->add("flag", TypeWord::make(TypeWord::kUChar, 1));
    format->add("modelview", TypeWord::kMatrix4);
    auto buffer = ParameterBuffer::create(format);
    format->release();
    EXPECT_EQ(format->getReferenceCount(), 1) << "the buffer's";
    ASSERT_EQ(buffer->getSize(), 65u);
    std::uint8_t* data = buffer->getData();
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(data) % alignof(std::max_align_t), 0u);
    EXPECT_EQ(std::vector<std::uint8_t>(data, data + 65), std::vector<std::uint8_t>(65, 0));
    EXPECT_EQ(buffer->find("modelview"), data + 1);
    EXPECT_EQ(buffer->find("projection"), nullptr);
    // A component added later lies beyond this block.
    format->add("tint", TypeWord::kFloat4);
    EXPECT_EQ(buffer->find("tint"), nullptr);
}

}  // namespace
}  // namespace nevrik::graphics3d

#include "nevrik/graphics3d/VertexBuffer.h"

#include "nevrik/graphics3d/TypeWord.h"
#include "nevrik/object/Pointer.h"

#include "BufferState.h"
#include "GlFixture.h"

#include <cstring>
#include <vector>

namespace nevrik::graphics3d {
namespace {

using Buffer = object::Pointer<VertexBuffer>;

constexpr std::uint32_t kAllTextureUnits = 0xFF000;

VertexFormat modelFormat() {
    VertexFormat format;
    format.add(TypeWord::kFloat3, Context::kPositionArray);
    format.add(TypeWord::kFloat3, Context::kNormalArray);
    format.add(TypeWord::kFloat2, kAllTextureUnits);
    return format;
}

Buffer make(const VertexFormat& format, std::uint32_t vertexCount, std::uint32_t usageIndex) {
    return Buffer::adopt(VertexBuffer::create(format, vertexCount, usageIndex));
}

const void* pointerOf(GLenum query) {
    void* value = nullptr;
    glGetPointerv(query, &value);
    return value;
}

const void* textureCoordinatePointer(int unit) {
    glClientActiveTexture(GL_TEXTURE0 + unit);
    return pointerOf(GL_TEXTURE_COORD_ARRAY_POINTER);
}

GLint bufferParameter(GLenum query) {
    GLint value = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, query, &value);
    return value;
}

using VertexBufferTest = GlFixture;

TEST_F(VertexBufferTest, ComponentRecordsFollowTheFormatEntries) {
    VertexFormat format = modelFormat();
    format.add(TypeWord::make(TypeWord::kUChar, 4), Context::kColourArray);
    // Neither of these feeds anything: an unknown scalar, five components.
    format.add(TypeWord::make(24, 1), Context::kWeightArray);
    format.add(TypeWord::make(TypeWord::kFloat, 5), Context::kFogArray);
    const Buffer buffer = make(format, 4, VertexBuffer::kStatic);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->getComponentMask(), 0xFF015u);
    EXPECT_EQ(buffer->getStride(), 64u);
    const VertexBuffer::Component& position = buffer->getComponent(0);
    EXPECT_EQ(position.glType, static_cast<std::uint32_t>(GL_FLOAT));
    EXPECT_EQ(position.count, 3u);
    EXPECT_EQ(buffer->getComponent(2).offset, 12u);
    for (int unit = 0; unit < Context::kTextureUnits; ++unit) {
        const VertexBuffer::Component& coordinates = buffer->getComponent(12 + unit);
        EXPECT_EQ(coordinates.offset, 24u) << unit;
        EXPECT_EQ(coordinates.count, 2u) << unit;
    }
    EXPECT_EQ(buffer->getComponent(4).glType, static_cast<std::uint32_t>(GL_UNSIGNED_BYTE));
    EXPECT_EQ(buffer->getComponent(6).count, 0u);
    EXPECT_EQ(buffer->getComponent(20).count, 0u);
    EXPECT_EQ(buffer->getFormat().getEntry(3)->glType, static_cast<std::uint32_t>(GL_UNSIGNED_BYTE));
    EXPECT_EQ(buffer->getFormat().getEntry(3)->count, 4u);
    EXPECT_EQ(buffer->getFormat().getEntry(4)->glType, 0u);
    EXPECT_EQ(buffer->getFormat(), format);
}

TEST_F(VertexBufferTest, BufferObjectKeepsWhatWasWrittenThroughALock) {
    const Buffer buffer = make(modelFormat(), 3, VertexBuffer::kStatic);
    ASSERT_TRUE(buffer);
    EXPECT_NE(buffer->getBufferName(), 0u);
    EXPECT_EQ(buffer->getUsageIndex(), VertexBuffer::kStatic);
    EXPECT_EQ(buffer->getUsage(), static_cast<std::uint32_t>(GL_STATIC_DRAW));
    EXPECT_EQ(buffer->getData(), nullptr) << "a buffer object has no data outside a lock";

    std::vector<float> written(3 * 8);
    for (std::size_t i = 0; i < written.size(); ++i) {
        written[i] = 0.5f * static_cast<float>(i);
    }
    ASSERT_TRUE(buffer->lock(VertexBuffer::kReplace));
    ASSERT_NE(buffer->getData(), nullptr);
    EXPECT_TRUE(buffer->isLocked());
    EXPECT_FALSE(buffer->lock(VertexBuffer::kRead)) << "locked already";
    std::memcpy(buffer->getData(), written.data(), written.size() * sizeof(float));
    EXPECT_TRUE(buffer->unlock());
    EXPECT_EQ(buffer->getData(), nullptr);
    EXPECT_FALSE(buffer->isLocked());
    EXPECT_FALSE(buffer->unlock()) << "not locked";

    EXPECT_FALSE(buffer->lock(4)) << "no such lock mode";
    ASSERT_TRUE(buffer->lock(VertexBuffer::kRead));
    EXPECT_EQ(std::memcmp(buffer->getData(), written.data(), written.size() * sizeof(float)), 0);
    EXPECT_TRUE(buffer->unlock());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(VertexBufferTest, WithoutBufferObjectsClientMemoryTakesOver) {
    scrambleArrayState();
    HiddenBufferObjects hidden;
    const Buffer buffer = make(modelFormat(), 5, VertexBuffer::kStatic);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->getBufferName(), 0u);
    EXPECT_EQ(buffer->getUsageIndex(), VertexBuffer::kSystemMemory);
    std::uint8_t* const data = buffer->getData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(data, data + 5 * 32), std::vector<std::uint8_t>(5 * 32, 0));
    ASSERT_TRUE(buffer->lock(VertexBuffer::kRead));
    EXPECT_TRUE(buffer->isLocked());
    EXPECT_EQ(buffer->getData(), data);
    EXPECT_TRUE(buffer->unlock());
    EXPECT_EQ(buffer->getData(), data) << "client memory stays reachable";

    // Pointers go straight into client memory, with no buffer call to make.
    ASSERT_TRUE(buffer->bind(~0u));
    EXPECT_EQ(pointerOf(GL_VERTEX_ARRAY_POINTER), data);
    EXPECT_EQ(pointerOf(GL_NORMAL_ARRAY_POINTER), data + 12);
    EXPECT_EQ(textureCoordinatePointer(7), data + 24);
}

TEST_F(VertexBufferTest, UsageIndexPicksTheGlUsageOrClientMemory) {
    const struct {
        std::uint32_t index;
        GLenum usage;
    } usages[] = {{VertexBuffer::kStatic, GL_STATIC_DRAW},
                  {VertexBuffer::kDynamic, GL_DYNAMIC_DRAW},
                  {VertexBuffer::kStream, GL_STREAM_DRAW}};
    for (const auto& usage : usages) {
        const Buffer buffer = make(modelFormat(), 7, usage.index);
        ASSERT_TRUE(buffer);
        ASSERT_NE(buffer->getBufferName(), 0u);
        glBindBuffer(GL_ARRAY_BUFFER, buffer->getBufferName());
        EXPECT_EQ(bufferParameter(GL_BUFFER_USAGE), static_cast<GLint>(usage.usage));
        EXPECT_EQ(bufferParameter(GL_BUFFER_SIZE), 7 * 32);
    }
    const Buffer system = make(modelFormat(), 7, VertexBuffer::kSystemMemory);
    ASSERT_TRUE(system);
    EXPECT_EQ(system->getBufferName(), 0u);
    EXPECT_EQ(system->getUsage(), static_cast<std::uint32_t>(GL_DYNAMIC_DRAW));

    // Usage 0 is refused by the driver, which sends the buffer to client
    // memory and leaves no error behind.
    const Buffer none = make(modelFormat(), 7, VertexBuffer::kNoUsage);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->getBufferName(), 0u);
    EXPECT_EQ(none->getUsageIndex(), VertexBuffer::kSystemMemory);
    EXPECT_NE(none->getData(), nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    EXPECT_FALSE(make(modelFormat(), 7, 5));
}

TEST_F(VertexBufferTest, BindSetsThePointersOfPresentComponentsOnly) {
    VertexFormat format;
    format.add(TypeWord::kFloat3, Context::kPositionArray);
    format.add(TypeWord::make(TypeWord::kUChar, 4), Context::kColourArray);
    format.add(TypeWord::kFloat2, Context::kTextureArray << 2);
    format.add(TypeWord::make(TypeWord::kUChar, 1), Context::kEdgeFlagArray);
    const Buffer buffer = make(format, 3, VertexBuffer::kStatic);
    ASSERT_TRUE(buffer);
    scrambleArrayState();
    const void* const normal = pointerOf(GL_NORMAL_ARRAY_POINTER);
    const void* const unit1 = textureCoordinatePointer(1);

    ASSERT_TRUE(buffer->bind(~0u));
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING), static_cast<GLint>(buffer->getBufferName()));
    EXPECT_EQ(pointerOf(GL_VERTEX_ARRAY_POINTER), nullptr) << "offset 0 into the buffer object";
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_SIZE), 3);
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_STRIDE), 25);
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_BUFFER_BINDING), static_cast<GLint>(buffer->getBufferName()));
    EXPECT_EQ(pointerOf(GL_COLOR_ARRAY_POINTER), reinterpret_cast<void*>(12));
    EXPECT_EQ(integer(GL_COLOR_ARRAY_TYPE), GL_UNSIGNED_BYTE);
    EXPECT_EQ(pointerOf(GL_EDGE_FLAG_ARRAY_POINTER), reinterpret_cast<void*>(24)) << "its own offset";
    EXPECT_EQ(textureCoordinatePointer(2), reinterpret_cast<void*>(16));
    EXPECT_EQ(integer(GL_TEXTURE_COORD_ARRAY_SIZE), 2);
    EXPECT_EQ(pointerOf(GL_NORMAL_ARRAY_POINTER), normal);
    EXPECT_EQ(integer(GL_NORMAL_ARRAY_TYPE), GL_BYTE);
    EXPECT_EQ(textureCoordinatePointer(1), unit1);
    EXPECT_EQ(integer(GL_TEXTURE_COORD_ARRAY_TYPE), GL_INT);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(VertexBufferTest, CompiledBindLeavesTheStateOfADirectBind) {
    VertexFormat format = modelFormat();
    format.add(TypeWord::make(TypeWord::kFloat, 4), Context::kColourArray);
    format.add(TypeWord::make(TypeWord::kFloat, 1), Context::kFogArray);
    format.add(TypeWord::make(TypeWord::kUChar, 1), Context::kEdgeFlagArray);
    for (std::uint32_t usage : {VertexBuffer::kStatic, VertexBuffer::kSystemMemory}) {
        const Buffer buffer = make(format, 4, usage);
        ASSERT_TRUE(buffer);
        scrambleArrayState();
        const std::string scrambled = captureArrayState();
        ASSERT_TRUE(buffer->bind(~0u));
        const std::string direct = captureArrayState();
        EXPECT_NE(direct, scrambled);

        scrambleArrayState();
        runCompiled([&](system::Assembler& assembler) { ASSERT_TRUE(buffer->compileBind(assembler, ~0u)); });
        EXPECT_EQ(captureArrayState(), direct) << "usage index " << usage;
    }
}

TEST_F(VertexBufferTest, MakingAndDroppingBuffersLeavesNoGlNames) {
    constexpr int kBuffers = 10000;
    std::vector<GLuint> names;
    names.reserve(kBuffers);
    const VertexFormat format = modelFormat();
    for (int i = 0; i < kBuffers; ++i) {
        const Buffer buffer = make(format, 2, VertexBuffer::kStatic);
        ASSERT_TRUE(buffer);
        ASSERT_EQ(glIsBuffer(buffer->getBufferName()), GL_TRUE) << i;
        names.push_back(buffer->getBufferName());
    }
    int alive = 0;
    for (GLuint name : names) {
        alive += glIsBuffer(name) == GL_TRUE ? 1 : 0;
    }
    EXPECT_EQ(alive, 0);
}

}  // namespace
}  // namespace nevrik::graphics3d

#include "nevrik/graphics3d/core/Graphics3dException.h"

#include "nevrik/graphics3d/building/MemoryException.h"
#include "nevrik/graphics3d/building/UnsupportedFormatException.h"
#include "nevrik/graphics3d/building/UnsupportedPrimitiveException.h"
#include "nevrik/graphics3d/core/Resource.h"
#include "nevrik/graphics3d/core/TextureException.h"
#include "nevrik/graphics3d/core/TypeException.h"

#include <gtest/gtest.h>

namespace nevrik::graphics3d {
namespace {

template <class T>
void expectFamilyMember(const char* name) {
    try {
        throw T();
    } catch (const Graphics3dException& exception) {
        EXPECT_STREQ(exception.what(), name);
        EXPECT_EQ(exception.getName(), name);
        EXPECT_EQ(exception.className(), types::String("Object:Exception:Graphics3dException:") + name);
    }
}

TEST(Graphics3dExceptionTest, EveryMemberIsCaughtAsTheBaseAndNamedAfterItsClass) {
    try {
        throw Graphics3dException();
    } catch (const object::Exception& exception) {
        EXPECT_STREQ(exception.what(), "Graphics3dException");
        EXPECT_EQ(exception.className(), "Object:Exception:Graphics3dException");
    }
    expectFamilyMember<TextureException>("TextureException");
    expectFamilyMember<TypeException>("TypeException");
    expectFamilyMember<MemoryException>("MemoryException");
    expectFamilyMember<UnsupportedFormatException>("UnsupportedFormatException");
    expectFamilyMember<UnsupportedPrimitiveException>("UnsupportedPrimitiveException");
}

TEST(Graphics3dExceptionTest, GivenMessageReplacesTheClassName) {
    const TextureException exception("texture 7 is not square");
    EXPECT_STREQ(exception.what(), "texture 7 is not square");
    EXPECT_EQ(exception.getName(), "TextureException");
}

TEST(Graphics3dExceptionTest, ResourceIsNamedByItsCreatorAndCopiesStartFresh) {
    Resource resource;
    EXPECT_EQ(resource.getName(), "");
    resource.setName("hull");
    const Resource copy(resource);
    EXPECT_EQ(copy.getName(), "hull");
    EXPECT_EQ(copy.getReferenceCount(), 1);
    EXPECT_EQ(resource.className(), "Object:Resource");
}

}  // namespace
}  // namespace nevrik::graphics3d

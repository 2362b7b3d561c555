#include "nevrik/platform/CodeMemory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

namespace nevrik::platform {
namespace {

// The permissions ("r-xp", ...) of the mapping holding `address`, or "" when
// nothing is mapped there.
std::string permissionsAt(const void* address) {
    const auto wanted = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        std::istringstream fields(line);
        std::uintptr_t start = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        std::string permissions;
        fields >> std::hex >> start >> dash >> end >> permissions;
        if (wanted >= start && wanted < end) {
            return permissions;
        }
    }
    return std::string();
}

// mov eax, 42; ret
const std::uint8_t kAnswer[] = {0xB8, 0x2A, 0x00, 0x00, 0x00, 0xC3};

TEST(CodeMemoryTest, LoadedCodeIsAnExactReadAndExecuteCopy) {
    CodeMemory memory;
    EXPECT_FALSE(memory.load(kAnswer, 0));
    EXPECT_TRUE(memory.isEmpty());
    ASSERT_TRUE(memory.load(kAnswer, sizeof kAnswer));
    EXPECT_EQ(memory.getSize(), sizeof kAnswer);
    EXPECT_EQ(std::memcmp(memory.getAddress(), kAnswer, sizeof kAnswer), 0);
    EXPECT_EQ(permissionsAt(memory.getAddress()), "r-xp");
#if defined(__x86_64__)
    const auto function = reinterpret_cast<int (*)()>(reinterpret_cast<std::uintptr_t>(memory.getAddress()));
    EXPECT_EQ(function(), 42);
#endif
    // A refused load keeps the code there is.
    const void* address = memory.getAddress();
    EXPECT_FALSE(memory.load(kAnswer, 0));
    EXPECT_EQ(memory.getAddress(), address);
    EXPECT_EQ(permissionsAt(address), "r-xp");
}

TEST(CodeMemoryTest, PagesAreUnmappedExactlyOnceWhenReplacedReleasedMovedOrDestroyed) {
    const void* last = nullptr;
    {
        CodeMemory memory;
        ASSERT_TRUE(memory.load(kAnswer, sizeof kAnswer));
        const void* first = memory.getAddress();
        ASSERT_TRUE(memory.load(kAnswer, 1));
        // The new pages are mapped before the old ones go, so they differ.
        EXPECT_NE(memory.getAddress(), first);
        EXPECT_EQ(permissionsAt(first), "");
        const void* second = memory.getAddress();
        memory.release();
        EXPECT_TRUE(memory.isEmpty());
        EXPECT_EQ(permissionsAt(second), "");

        ASSERT_TRUE(memory.load(kAnswer, sizeof kAnswer));
        CodeMemory moved(std::move(memory));
        CodeMemory other;
        ASSERT_TRUE(other.load(kAnswer, sizeof kAnswer));
        const void* replaced = other.getAddress();
        other = std::move(moved);
        EXPECT_EQ(permissionsAt(replaced), "");
        // The moved-from objects let go without touching the pages they gave away.
        memory.release();
        moved.release();
        last = other.getAddress();
        EXPECT_EQ(permissionsAt(last), "r-xp");
    }
    EXPECT_EQ(permissionsAt(last), "");
}

}  // namespace
}  // namespace nevrik::platform

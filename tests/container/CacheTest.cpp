#include "nevrik/container/Cache.h"

#include "nevrik/object/Exception.h"
#include "nevrik/types/String.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace nevrik::container {
namespace {

using types::String;

// Makes one int per name (base + length) and counts requests; "bad" throws,
// "missing" yields null.
class CountingFactory {
public:
    explicit CountingFactory(int base) : mBase(base) {}

    const int* create(const String& name) {
        ++mRequests;
        if (name == "bad") {
            throw object::Exception("no such thing");
        }
        if (name == "missing") {
            return nullptr;
        }
        mMade.push_back(std::make_unique<int>(mBase + static_cast<int>(name.getLength())));
        return mMade.back().get();
    }

    int mRequests = 0;

private:
    int mBase;
    std::vector<std::unique_ptr<int>> mMade;
};

TEST(CacheTest, MissAsksFactoryOnceAndKeepsEvenNull) {
    Cache<String, const int*, CountingFactory> cache(100);
    const int* first = cache.get(String("abc"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(*first, 103);
    EXPECT_EQ(cache.get(String("abc")), first);
    EXPECT_EQ(cache.get(String("missing")), nullptr);
    EXPECT_EQ(cache.get(String("missing")), nullptr);
    EXPECT_EQ(cache.getFactory().mRequests, 2);
    EXPECT_TRUE(cache.remove(String("missing")));
    cache.get(String("missing"));
    EXPECT_EQ(cache.getFactory().mRequests, 3);
    EXPECT_STREQ(cache.className().c_str(), "Object:Cache");
}

TEST(CacheTest, FactoryExceptionPassesThroughAndKeepsNothing) {
    Cache<String, const int*, CountingFactory> cache(0);
    try {
        cache.get(String("bad"));
        FAIL() << "no exception";
    } catch (const object::Exception& e) {
        EXPECT_STREQ(e.what(), "no such thing");
    }
    EXPECT_EQ(cache.getCount(), 0);
    EXPECT_THROW(cache.get(String("bad")), object::Exception);
    EXPECT_EQ(cache.getFactory().mRequests, 2);
}

}  // namespace
}  // namespace nevrik::container

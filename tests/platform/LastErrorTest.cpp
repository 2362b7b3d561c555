#include "nevrik/platform/LastError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

namespace nevrik::platform {
namespace {

TEST(LastErrorTest, ErrnoMapsToTheTableCodesAndEverythingElseStaysOutsideIt) {
    using T = LastError::Transfer;
    const struct {
        int error;
        T transfer;
        std::uint32_t code;
    } table[] = {
        {ENOENT, T::kNone, 2},
        {ENOTDIR, T::kNone, 3},
        {EACCES, T::kNone, 5},
        {EPERM, T::kNone, 5},
        {EMFILE, T::kNone, 4},
        {EROFS, T::kNone, 19},
        {EIO, T::kWrite, 29},
        {EIO, T::kRead, 30},
        {EEXIST, T::kNone, 80},
        {ENOSPC, T::kNone, 112},
        {EDQUOT, T::kNone, 112},
        {ESPIPE, T::kNone, 132},
        {EWOULDBLOCK, T::kNone, 32},
        {EIO, T::kNone, LastError::kUnmapped | EIO},
        {ELOOP, T::kNone, LastError::kUnmapped | ELOOP},
    };
    for (const auto& row : table) {
        EXPECT_EQ(LastError::setFromErrno(row.error, row.transfer), row.code) << "errno " << row.error;
        EXPECT_EQ(LastError::get(), row.code);
    }
}

TEST(LastErrorTest, EachThreadSeesOnlyItsOwnCode) {
    LastError::set(LastError::kDiskFull);
    std::uint32_t seenThere = 1;
    std::thread other([&] {
        seenThere = LastError::get();
        LastError::set(LastError::kFileExists);
    });
    other.join();
    EXPECT_EQ(seenThere, LastError::kSuccess);
    EXPECT_EQ(LastError::get(), LastError::kDiskFull);
}

}  // namespace
}  // namespace nevrik::platform

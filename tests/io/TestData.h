#pragma once

#include "io/TempFolder.h"

#include <filesystem>

namespace nevrik::testing {

/// A copy of the fixtures (tests/data), made once per test program: files are
/// opened exclusively, and test programs run side by side.
inline const std::filesystem::path& testData() {
    static const TempFolder sCopy;
    static const bool sCopied = (sCopy.copyIn(NEVRIK_TEST_DATA), true);
    (void)sCopied;
    return sCopy.path();
}

}  // namespace nevrik::testing

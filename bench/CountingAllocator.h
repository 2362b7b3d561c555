#pragma once

#include <cstdint>

namespace nevrik::bench {

/// How many times operator new has run in this program so far. The counting
/// replacement lives in its own source file so that no caller sees new and
/// delete inlined together.
std::int64_t allocationCount() noexcept;

}  // namespace nevrik::bench

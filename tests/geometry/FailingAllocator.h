#pragma once

namespace nevrik::geometry::test {

/// Out-of-memory injection for this test program: while armed, the next
/// operator new throws std::bad_alloc, once. The replacement lives in its own
/// source file so that no caller sees new and delete inlined together.
void failNextAllocation(bool armed) noexcept;

}  // namespace nevrik::geometry::test

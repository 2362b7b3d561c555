#pragma once

#include "nevrik/container/Allocator.h"
#include "nevrik/container/ListItem.h"

namespace nevrik::container {

/// The pool a List takes its items from, N items per block.
template <class T, int N = 64>
using ListAllocator = Allocator<ListItem<T>, N>;

}  // namespace nevrik::container

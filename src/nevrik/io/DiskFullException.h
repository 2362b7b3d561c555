#pragma once

#include "nevrik/io/IOException.h"

namespace nevrik::io {

/// The disk has no room left for a write.
///
/// Thrown by value, caught by reference; made without a message it reads "DiskFullException".
NEVRIK_EXCEPTION(DiskFullException, IOException);

}  // namespace nevrik::io

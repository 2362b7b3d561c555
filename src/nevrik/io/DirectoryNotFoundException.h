#pragma once

#include "nevrik/io/IOException.h"

namespace nevrik::io {

/// A folder to list cannot be read.
///
/// Thrown by value, caught by reference; made without a message it reads "DirectoryNotFoundException".
NEVRIK_EXCEPTION(DirectoryNotFoundException, IOException);

}  // namespace nevrik::io

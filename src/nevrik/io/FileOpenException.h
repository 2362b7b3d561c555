#pragma once

#include "nevrik/io/IOException.h"

namespace nevrik::io {

/// A file could not be opened (too many open, or the device refused).
///
/// Thrown by value, caught by reference; made without a message it reads "FileOpenException".
NEVRIK_EXCEPTION(FileOpenException, IOException);

}  // namespace nevrik::io

#pragma once

#include "nevrik/io/IOException.h"

namespace nevrik::io {

/// A file to make exists already.
///
/// Thrown by value, caught by reference; made without a message it reads "FileExistsException".
NEVRIK_EXCEPTION(FileExistsException, IOException);

}  // namespace nevrik::io

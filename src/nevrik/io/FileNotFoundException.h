#pragma once

#include "nevrik/io/IOException.h"

namespace nevrik::io {

/// A file to open does not exist.
///
/// Thrown by value, caught by reference; made without a message it reads "FileNotFoundException".
NEVRIK_EXCEPTION(FileNotFoundException, IOException);

}  // namespace nevrik::io

#pragma once

#include "nevrik/io/IOException.h"

namespace nevrik::io {

/// The device failed a read.
///
/// Thrown by value, caught by reference; made without a message it reads "FileReadException".
NEVRIK_EXCEPTION(FileReadException, IOException);

}  // namespace nevrik::io

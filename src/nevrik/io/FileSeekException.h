#pragma once

#include "nevrik/io/IOException.h"

namespace nevrik::io {

/// The file position cannot be set on this file or device.
///
/// Thrown by value, caught by reference; made without a message it reads "FileSeekException".
NEVRIK_EXCEPTION(FileSeekException, IOException);

}  // namespace nevrik::io

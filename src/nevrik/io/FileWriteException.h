#pragma once

#include "nevrik/io/IOException.h"

namespace nevrik::io {

/// The device refused or failed a write.
///
/// Thrown by value, caught by reference; made without a message it reads "FileWriteException".
NEVRIK_EXCEPTION(FileWriteException, IOException);

}  // namespace nevrik::io

#pragma once

#include "nevrik/io/FileSeekException.h"

namespace nevrik::io {

/// A seek named a position mode other than File::kBegin, kCurrent or kEnd.
///
/// Thrown by value, caught by reference; made without a message it reads "IllegalPositionModeException".
NEVRIK_EXCEPTION(IllegalPositionModeException, FileSeekException);

}  // namespace nevrik::io

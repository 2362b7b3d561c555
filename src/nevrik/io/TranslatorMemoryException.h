#pragma once

#include "nevrik/io/TranslatorException.h"

namespace nevrik::io {

/// A translator cannot get memory for the object it decodes.
///
/// Thrown by value, caught by reference; made without a message it reads "TranslatorMemoryException".
NEVRIK_EXCEPTION(TranslatorMemoryException, TranslatorException);

}  // namespace nevrik::io

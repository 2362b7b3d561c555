#pragma once

#include "nevrik/io/TranslatorException.h"

namespace nevrik::io {

/// The data is in no format the translator reads, or no translator claims a file.
///
/// Thrown by value, caught by reference; made without a message it reads "TranslatorFormatException".
NEVRIK_EXCEPTION(TranslatorFormatException, TranslatorException);

}  // namespace nevrik::io

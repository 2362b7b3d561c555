#pragma once

#include "nevrik/io/IOException.h"

namespace nevrik::io {

/// A translator failed in general.
///
/// Thrown by value, caught by reference; made without a message it reads "TranslatorException".
NEVRIK_EXCEPTION(TranslatorException, IOException);

}  // namespace nevrik::io

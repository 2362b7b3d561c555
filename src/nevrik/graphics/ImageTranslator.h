#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/io/Translator.h"

#include <cstdint>

namespace nevrik::graphics {

/// An image translator with a memory limit: the most pixel bytes one read
/// may reserve, its whole chain included. A file claiming more is refused
/// with TranslatorFormatException before anything is reserved, so a hostile
/// header costs nothing. Besides the limit, every reader reserves only what
/// its input can fill.
///
/// Abstract, and nameless in class-name paths: its subclasses name themselves
/// after io::Translator. Held like any translator; one thread at a time.
class ImageTranslator : public io::Translator<Image> {
public:
    static constexpr std::int64_t kDefaultMemoryLimit = std::int64_t{256} << 20;

    /// Applies to every later read; a value below 0 counts as 0.
    void setMemoryLimit(std::int64_t bytes) noexcept { mMemoryLimit = bytes < 0 ? 0 : bytes; }
    std::int64_t getMemoryLimit() const noexcept { return mMemoryLimit; }

private:
    std::int64_t mMemoryLimit = kDefaultMemoryLimit;
};

}  // namespace nevrik::graphics

#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/io/Filter.h"

namespace nevrik::graphics {

/// Base of the filters that make a new image from an image.
///
/// Reference-counted or held by value; one thread at a time.
class FilterImage : public io::Filter<Image, Image> {
    using Base = io::Filter<Image, Image>;

public:
    NEVRIK_CLASS_NAME(Base, ":FilterImage")
};

}  // namespace nevrik::graphics

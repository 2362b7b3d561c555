#pragma once

#include "nevrik/graphics3d/core/FixedShader.h"

namespace nevrik::graphics3d {

/// A fixed-function shader that also textures with unit 0, modulating the
/// lit colour by the texture: the model reader's shader for textured
/// surfaces.
///
/// Shared by reference among appearances; used on the thread of the current
/// context.
class TextureShader : public FixedShader {
public:
    using FixedShader::FixedShader;

    NEVRIK_CLASS_NAME(FixedShader, ":TextureShader")

protected:
    bool texturesUnitZero() const noexcept override { return true; }
};

}  // namespace nevrik::graphics3d

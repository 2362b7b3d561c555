#pragma once

#include "nevrik/graphics3d/core/FixedShader.h"

namespace nevrik::graphics3d {

/// A fixed-function shader without texturing: the context's default shader
/// and the model reader's shader for untextured surfaces.
///
/// Shared by reference among appearances; the Context owns a default one.
/// Used on the thread of the current context.
class PlainShader : public FixedShader {
public:
    using FixedShader::FixedShader;

    NEVRIK_CLASS_NAME(FixedShader, ":PlainShader")
};

}  // namespace nevrik::graphics3d

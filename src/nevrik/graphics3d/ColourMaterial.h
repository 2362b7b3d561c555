#pragma once

#include "nevrik/graphics3d/Material.h"

namespace nevrik::graphics3d {

/// The fixed-function material: ambient, diffuse, specular and emitted
/// colours and a shininess, for both faces. The diffuse colour is also the
/// current vertex colour.
///
/// Shared by reference among appearances; used on the thread of the current
/// context.
class ColourMaterial : public Material {
public:
    /// Ambient 0.2, diffuse and specular 1, no emission, shininess 0; every
    /// alpha 0.
    ColourMaterial() = default;

    void apply() const override;

    float* getAmbient() noexcept { return mAmbient; }
    float* getDiffuse() noexcept { return mDiffuse; }
    float* getSpecular() noexcept { return mSpecular; }
    float* getEmission() noexcept { return mEmission; }
    float getShininess() const noexcept { return mShininess; }
    void setShininess(float shininess) noexcept { mShininess = shininess; }

private:
    float mAmbient[4] = {0.2f, 0.2f, 0.2f, 0.0f};
    float mDiffuse[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    float mSpecular[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    float mEmission[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float mShininess = 0.0f;
};

}  // namespace nevrik::graphics3d

#pragma once

#include "nevrik/graphics3d/core/Colours.h"
#include "nevrik/graphics3d/core/Material.h"

namespace nevrik::graphics3d {

/// The fixed-function material: ambient, diffuse, specular and emitted
/// colours and a shininess, for both faces. The diffuse colour is also the
/// current vertex colour.
///
/// Shared by reference among appearances; the Context owns a default one.
/// Used on the thread of the current context.
class ColourMaterial : public Material {
public:
    /// The colours, each red, green, blue and alpha.
    enum Colour { kAmbient, kDiffuse, kSpecular, kEmission, kColours };

    /// Ambient 0.2, diffuse and specular 1, no emission, shininess 0; every
    /// alpha 0.
    ColourMaterial() = default;

    NEVRIK_CLASS_NAME(Material, ":ColourMaterial")

    void apply() const override;
    /// Appends the six calls of apply(); a compiled program reads the colours
    /// from this object when it runs. Always true.
    bool compileApply(system::Assembler& assembler) const override;

    /// False, changing nothing, for an unknown colour.
    bool setColour(Colour colour, float red, float green, float blue, float alpha) noexcept {
        return graphics3d::setColour(mColours, colour, red, green, blue, alpha);
    }
    void setShininess(float shininess) noexcept { mShininess = shininess; }

    /// Four floats; null for an unknown colour.
    const float* getColour(Colour colour) const noexcept { return graphics3d::getColour(mColours, colour); }
    float getShininess() const noexcept { return mShininess; }

private:
    template <class Calls>
    void send(const Calls& calls) const;

    // By Colour: ambient, diffuse, specular, emission.
    float mColours[kColours][4] = {{0.2f, 0.2f, 0.2f, 0.0f},
                                   {1.0f, 1.0f, 1.0f, 0.0f},
                                   {1.0f, 1.0f, 1.0f, 0.0f},
                                   {0.0f, 0.0f, 0.0f, 0.0f}};
    float mShininess = 0.0f;
};

}  // namespace nevrik::graphics3d

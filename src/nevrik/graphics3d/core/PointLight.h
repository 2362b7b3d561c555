#pragma once

#include "nevrik/graphics3d/core/Colours.h"
#include "nevrik/graphics3d/core/Light.h"

namespace nevrik::graphics3d {

/// A positional light shining equally in every direction, its intensity
/// falling off with distance by the three attenuation factors.
///
/// Reference-counted; put into a slot of the context's light stack to shine.
/// Used on the thread of the current context.
class PointLight : public Light {
public:
    /// The colours of its light, each red, green, blue and alpha.
    enum Colour { kAmbient, kDiffuse, kSpecular, kColours };

    /// At the origin; no ambient, white diffuse and specular light, constant
    /// attenuation 1.
    PointLight() = default;

    NEVRIK_CLASS_NAME(Light, ":PointLight")

    /// Sends the colours, the position (as a point, transformed by the
    /// model-view matrix in force), the attenuation and a full-sphere spot
    /// cone. Units outside 0..7 send nothing.
    void apply(int unit) const override;

    /// False, changing nothing, for an unknown colour.
    bool setColour(Colour colour, float red, float green, float blue, float alpha) noexcept {
        return graphics3d::setColour(mColours, colour, red, green, blue, alpha);
    }
    void setPosition(float x, float y, float z) noexcept;
    void setAttenuation(float constant, float linear, float quadratic) noexcept;

    /// Four floats; null for an unknown colour.
    const float* getColour(Colour colour) const noexcept { return graphics3d::getColour(mColours, colour); }
    const float* getPosition() const noexcept { return mPosition; }
    float getConstantAttenuation() const noexcept { return mConstantAttenuation; }
    float getLinearAttenuation() const noexcept { return mLinearAttenuation; }
    float getQuadraticAttenuation() const noexcept { return mQuadraticAttenuation; }

private:
    // By Colour: ambient, diffuse, specular.
    float mColours[kColours][4] = {
        {0.0f, 0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}};
    float mPosition[3] = {0.0f, 0.0f, 0.0f};
    float mConstantAttenuation = 1.0f;
    float mLinearAttenuation = 0.0f;
    float mQuadraticAttenuation = 0.0f;
};

}  // namespace nevrik::graphics3d

#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace nevrik::modelgen {

/// A surface material as the model file stores it.
///
/// Plain value. Colours are 8-bit RGB; shininess and transparency are percentages;
/// an empty texture name means an untextured material.
struct Material {
    using Rgb = std::array<std::uint8_t, 3>;

    std::string name;
    Rgb ambient{};
    Rgb diffuse{};
    Rgb specular{};
    std::uint16_t shininess = 0;
    std::uint16_t transparency = 0;
    std::string texture;
};

}  // namespace nevrik::modelgen

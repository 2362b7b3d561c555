#include "modelgen/TexturePainter.h"

#include <cmath>
#include <cstdint>

namespace nevrik::modelgen {

namespace {

using Rgba = Picture::Rgba;

constexpr Rgba kTan{178, 156, 112, 255};
constexpr Rgba kMediumGreen{96, 106, 62, 255};
constexpr Rgba kDarkGreen{54, 66, 44, 255};
constexpr Rgba kPanelGrey{168, 172, 176, 255};
constexpr Rgba kRim{22, 22, 28, 255};
constexpr Rgba kBlue{36, 56, 132, 255};
constexpr Rgba kWhite{236, 236, 236, 255};
constexpr Rgba kRed{192, 32, 42, 255};

constexpr int kPanelSpacing = 64;  // pixels between panel lines
constexpr int kRivetSpacing = 8;
constexpr int kSupersampling = 4;  // samples per pixel side for the roundel's edges

// Integer avalanche hash: the only source of "randomness", so output never varies.
std::uint32_t hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

// Value noise in [0, 1) on a lattice of `period` cells across the picture. Lattice
// coordinates wrap at the period, so the noise tiles exactly.
float valueNoise(float fx, float fy, int period, std::uint32_t seed) {
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const float tx = fx - static_cast<float>(x0);
    const float ty = fy - static_cast<float>(y0);
    auto corner = [&](int x, int y) {
        const auto wx = static_cast<std::uint32_t>(((x % period) + period) % period);
        const auto wy = static_cast<std::uint32_t>(((y % period) + period) % period);
        return static_cast<float>(hash(wx, wy, seed) >> 8) / 16777216.0f;
    };
    const float sx = tx * tx * (3.0f - 2.0f * tx);
    const float sy = ty * ty * (3.0f - 2.0f * ty);
    const float top = corner(x0, y0) + (corner(x0 + 1, y0) - corner(x0, y0)) * sx;
    const float bottom = corner(x0, y0 + 1) + (corner(x0 + 1, y0 + 1) - corner(x0, y0 + 1)) * sx;
    return top + (bottom - top) * sy;
}

// Three octaves; the result stays in [0, 1).
float fractalNoise(int x, int y, int size, std::uint32_t seed) {
    float sum = 0.0f;
    float weight = 0.5f;
    int period = 4;
    for (int octave = 0; octave < 3; ++octave) {
        const float scale = static_cast<float>(period) / static_cast<float>(size);
        sum += weight * valueNoise(static_cast<float>(x) * scale, static_cast<float>(y) * scale, period,
                                   seed + static_cast<std::uint32_t>(octave));
        weight *= 0.5f;
        period *= 2;
    }
    return sum / 0.875f;
}

Rgba shade(Rgba colour, float factor) {
    Rgba out = colour;
    for (int i = 0; i < 3; ++i) {
        out[i] = static_cast<std::uint8_t>(static_cast<float>(colour[i]) * factor);
    }
    return out;
}

Rgba roundelColour(float radius) {
    if (radius < 0.17f) {
        return kRed;
    }
    if (radius < 0.30f) {
        return kWhite;
    }
    if (radius < 0.43f) {
        return kBlue;
    }
    if (radius < 0.46f) {
        return kRim;
    }
    return kPanelGrey;
}

}  // namespace

Picture TexturePainter::camouflage(int size) {
    Picture picture(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Hard thresholds give the crisp blotch edges of painted camouflage.
            Rgba colour = kTan;
            if (fractalNoise(x, y, size, 11u) > 0.5f) {
                colour = kMediumGreen;
            }
            if (fractalNoise(x, y, size, 23u) > 0.58f) {
                colour = kDarkGreen;
            }
            const bool lineX = x % kPanelSpacing == 0;
            const bool lineY = y % kPanelSpacing == 0;
            if (lineX || lineY) {
                colour = shade(colour, 0.7f);
            } else if ((x % kPanelSpacing == 3 && y % kRivetSpacing == 4) ||
                       (y % kPanelSpacing == 3 && x % kRivetSpacing == 4)) {
                colour = shade(colour, 0.82f);
            }
            picture.setPixel(x, y, colour);
        }
    }
    return picture;
}

Picture TexturePainter::insignia(int size) {
    Picture picture(size, size);
    const float centre = static_cast<float>(size) * 0.5f;
    const int samples = kSupersampling * kSupersampling;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int sum[3] = {0, 0, 0};
            for (int s = 0; s < samples; ++s) {
                const float sx =
                    static_cast<float>(x) + (static_cast<float>(s % kSupersampling) + 0.5f) / kSupersampling;
                const float sy =
                    static_cast<float>(y) + (static_cast<float>(s / kSupersampling) + 0.5f) / kSupersampling;
                const float radius = std::hypot(sx - centre, sy - centre) / static_cast<float>(size);
                const Rgba colour = roundelColour(radius);
                for (int i = 0; i < 3; ++i) {
                    sum[i] += colour[i];
                }
            }
            Rgba pixel{0, 0, 0, 255};
            for (int i = 0; i < 3; ++i) {
                pixel[i] = static_cast<std::uint8_t>((sum[i] + samples / 2) / samples);
            }
            // A one-pixel frame marks the edge of the painted panel.
            if (x == 0 || y == 0 || x == size - 1 || y == size - 1) {
                pixel = shade(pixel, 0.7f);
            }
            picture.setPixel(x, y, pixel);
        }
    }
    return picture;
}

}  // namespace nevrik::modelgen

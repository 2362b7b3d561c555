#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nevrik::graphics3d::detail {

// Area-weighted smooth normals of the triangles in `faces` over
// `positions` (x, y, z a vertex): each face, `faceWords` numbers starting
// with its three corners' vertices (every one below the vertex count), adds
// its unnormalised normal to its three corners. Returns the sums, three a
// vertex; unitNormal() makes them unit length.
template <class Index>
std::vector<float> smoothNormalSums(const std::vector<float>& positions, const std::vector<Index>& faces,
                                    std::size_t faceWords = 3) {
    std::vector<float> sums(positions.size(), 0.0f);
    for (std::size_t i = 0; i + 2 < faces.size(); i += faceWords) {
        const std::size_t at[3] = {std::size_t{faces[i]} * 3, std::size_t{faces[i + 1]} * 3,
                                   std::size_t{faces[i + 2]} * 3};
        const float* a = &positions[at[0]];
        const float* b = &positions[at[1]];
        const float* c = &positions[at[2]];
        const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        const float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
        for (std::size_t corner : at) {
            for (int k = 0; k < 3; ++k) {
                sums[corner + k] += n[k];
            }
        }
    }
    return sums;
}

// `sum` made unit length into `unit`. A vertex of no face, or only of
// degenerate ones, has no direction of its own: it faces +z.
inline void unitNormal(const float* sum, float* unit) noexcept {
    const float length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
    const bool usable = length > 0.0f && std::isfinite(length);
    for (int k = 0; k < 3; ++k) {
        unit[k] = usable ? sum[k] / length : (k == 2 ? 1.0f : 0.0f);
    }
}

}  // namespace nevrik::graphics3d::detail

#include "modelgen/MeshBuilder.h"

#include <stdexcept>
#include <unordered_map>
#include <utility>
#include <vector>

namespace nevrik::modelgen {

MeshBuilder::MeshBuilder(std::string name) {
    mPart.name = std::move(name);
}

void MeshBuilder::addGrid(const Grid& grid) {
    if (grid.rows < 1 || grid.columns < 3) {
        throw std::invalid_argument("MeshBuilder: a grid needs a row and three columns");
    }
    const int columns = grid.columns;
    // Each ring point is evaluated once, so coincident points compare equal bit for bit.
    std::vector<Vector3> points;
    points.reserve(static_cast<std::size_t>(grid.rows + 1) * static_cast<std::size_t>(columns));
    for (int row = 0; row <= grid.rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            points.push_back(grid.position(row, column));
        }
    }
    auto pointAt = [&](int row, int column) {
        return points[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                      static_cast<std::size_t>(column % columns)];
    };

    std::unordered_map<std::uint64_t, std::uint32_t> vertexOf;
    auto vertex = [&](int row, int column, int material) {
        const std::uint64_t key = (static_cast<std::uint64_t>(row) * static_cast<std::uint64_t>(columns + 1) +
                                   static_cast<std::uint64_t>(column))
                                      << 16 |
                                  static_cast<std::uint64_t>(material);
        const auto [it, added] = vertexOf.try_emplace(key, static_cast<std::uint32_t>(mPart.vertices.size()));
        if (added) {
            const Vector3 position = pointAt(row, column);
            const TexCoord uv = grid.texCoord(material, row, column, position);
            mPart.vertices.push_back({position, uv[0], uv[1]});
        }
        return it->second;
    };

    using Corner = std::pair<int, int>;
    auto triangle = [&](Corner a, Corner b, Corner c, int material) {
        const Vector3 pa = pointAt(a.first, a.second);
        const Vector3 pb = pointAt(b.first, b.second);
        const Vector3 pc = pointAt(c.first, c.second);
        if (pa == pb || pb == pc || pc == pa) {
            return;
        }
        MeshTriangle t;
        t.a = vertex(a.first, a.second, material);
        t.b = vertex(b.first, b.second, material);
        t.c = vertex(c.first, c.second, material);
        t.material = material;
        mPart.triangles.push_back(t);
    };

    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int material = grid.material(row, column);
            const Corner a{row, column};
            const Corner b{row, column + 1};
            const Corner c{row + 1, column + 1};
            const Corner d{row + 1, column};
            if (grid.flip) {
                triangle(a, c, b, material);
                triangle(a, d, c, material);
            } else {
                triangle(a, b, c, material);
                triangle(a, c, d, material);
            }
        }
    }
}

MeshPart MeshBuilder::take() {
    MeshPart part = std::move(mPart);
    mPart = MeshPart{};
    mPart.name = part.name;
    return part;
}

}  // namespace nevrik::modelgen

#pragma once

#include "modelgen/MeshPart.h"

#include <array>
#include <functional>
#include <string>

namespace nevrik::modelgen {

/// Collects the triangles of one part from closed parametric grids.
///
/// A grid is `rows` + 1 rings of `columns` points; ring point `columns` is point 0 again,
/// so every ring closes. Each cell becomes two triangles. A vertex is made per grid
/// point and material, so a material boundary splits the normals there and a seam
/// gets its own texture coordinates. Triangles with two corners at the same position
/// (at a pole, where a ring collapses to a point) are dropped, and so no vertex is made
/// that no triangle uses. Owned by value by the part's builder; single-threaded.
class MeshBuilder {
public:
    using TexCoord = std::array<float, 2>;

    struct Grid {
        int rows = 0;     ///< cell rows; there are rows + 1 rings
        int columns = 0;  ///< cells around each ring
        /// Position of ring point (row, column), column in [0, columns).
        std::function<Vector3(int row, int column)> position;
        /// Material of the cell whose first corner is (row, column).
        std::function<int(int row, int column)> material;
        /// Texture coordinates of a vertex; column in [0, columns], so a seam can wrap.
        std::function<TexCoord(int material, int row, int column, Vector3 position)> texCoord;
        /// Cells are wound counter-clockwise about (d/dcolumn) x (d/drow); flip reverses that.
        bool flip = false;
    };

    explicit MeshBuilder(std::string name);

    void addGrid(const Grid& grid);

    /// Hands over the part built so far and leaves the builder empty.
    MeshPart take();

private:
    MeshPart mPart;
};

}  // namespace nevrik::modelgen

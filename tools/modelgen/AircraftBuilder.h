#pragma once

#include "modelgen/Material.h"
#include "modelgen/MeshBuilder.h"
#include "modelgen/MeshPart.h"

#include <vector>

namespace nevrik::modelgen {

/// Builds the geometry of a small jet fighter: a lofted fuselage with its nose cone and
/// nozzle, a bubble canopy, swept wings, tailplanes, a fin and two side intakes.
///
/// Nose towards +x, wingspan along y, top towards +z; about 250 units long and 200
/// across, the bounding box centred on the origin. Every part is a closed shell wound
/// counter-clockwise seen from outside. `detail` scales the tessellation: 1 gives
/// about 10,000 triangles, and the count grows with its square. Stateless apart from
/// the detail; single-threaded.
class AircraftBuilder {
public:
    /// Indices into materials(), in the order the model file lists them.
    enum MaterialIndex { kCamouflage, kInsignia, kRadome, kCanopyGlass, kDuct, kExhaust, kMaterialCount };

    static constexpr const char* kCamouflageTexture = "f5e_camo.bmp";
    static constexpr const char* kInsigniaTexture = "f5e_mark.tga";
    static constexpr int kCamouflageTextureSize = 256;
    static constexpr int kInsigniaTextureSize = 128;

    explicit AircraftBuilder(double detail);

    static std::vector<Material> materials();

    /// The parts in file order: "fuselage", "canopy", "wings", "tail", "intakes".
    std::vector<MeshPart> build() const;

    /// The build whose triangle count comes closest to `target`, found by scaling the
    /// detail by the square root of the ratio still missing.
    static std::vector<MeshPart> buildForTriangles(long target);

    static std::size_t countTriangles(const std::vector<MeshPart>& parts);

private:
    // Where a lifting surface carries the insignia decal: which sides, and the span
    // and chord fractions it covers.
    struct Decal {
        bool upper = false;
        bool lower = false;
        float span[2] = {0.0f, 0.0f};
        float chord[2] = {0.0f, 0.0f};
    };

    // A tapered, swept lifting surface (wing, tailplane or fin) with a symmetric
    // aerofoil section; chords run aft, along -x.
    struct Surface {
        Vector3 rootLeadingEdge;
        Vector3 tipLeadingEdge;
        float rootChord = 0.0f;
        float tipChord = 0.0f;
        Vector3 upDirection;         // towards the upper surface
        float rootThickness = 0.0f;  // fractions of the chord
        float tipThickness = 0.0f;
        int spanSteps = 1;
        int chordSteps = 3;  // cells along each side of the section
        Decal decal;
    };

    int steps(double base, int minimum) const;
    MeshPart buildFuselage() const;
    MeshPart buildCanopy() const;
    MeshPart buildWings() const;
    MeshPart buildTail() const;
    MeshPart buildIntakes() const;
    void addIntake(MeshBuilder& builder, float side) const;
    /// Adds `surface` and, when `mirror`, its mirror image across the x-z plane.
    static void addSurface(MeshBuilder& builder, const Surface& surface, bool mirror);

    double mDetail;
};

}  // namespace nevrik::modelgen

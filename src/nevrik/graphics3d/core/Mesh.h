#pragma once

#include "nevrik/geometry/MeshCollider3.h"
#include "nevrik/geometry/OrientedBox.h"
#include "nevrik/geometry/Primitive.h"
#include "nevrik/geometry/TriangleMesh3.h"
#include "nevrik/graphics3d/core/Appearance.h"
#include "nevrik/graphics3d/core/Resource.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::system {
class Assembler;
}

namespace nevrik::graphics3d {

/// One drawable batch: a primitive type, the render states of an Appearance
/// and a bounding box, with the geometry that subclasses add; besides
/// drawing it exports its triangles, fits its bounds and builds the collider
/// that picking uses.
///
/// Reference-counted; holds references on its appearance and collider (and,
/// in subclasses, its buffers). Models hold their meshes. Drawn and queried
/// on the thread of the current context only.
class Mesh : public Resource {
public:
    Mesh() = default;
    ~Mesh() override;

    NEVRIK_CLASS_NAME(Resource, ":Mesh")

    /// Draws now through the current context, with the appearance applied
    /// when there is one. False when the mesh has nothing it can draw.
    virtual bool draw() = 0;
    /// A new triangle soup of the mesh (reference count 1, the caller's),
    /// or null.
    virtual object::Pointer<geometry::TriangleMesh3<float>> createTriangleMesh() const = 0;
    /// Fits the bounds around the vertex positions; false, changing nothing,
    /// when they cannot be read. This base cannot.
    virtual bool updateBounds();
    /// Builds a new collider for picking and replaces the old one; false,
    /// keeping the old one, when the positions cannot be read. This base
    /// cannot.
    virtual bool createCollider();
    /// Appends to `assembler` the buffer bindings and the draw call of
    /// draw(), with the same arguments; the appearance is the caller's to
    /// compile. False, appending nothing that draws, when draw() would draw
    /// nothing. This base cannot.
    virtual bool compile(system::Assembler& assembler) const;

    geometry::MeshCollider3<float>* getCollider() const noexcept { return mCollider.get(); }
    Appearance* getAppearance() const noexcept { return mAppearance.get(); }
    /// Takes a reference on `appearance` (null for none) and drops the old one.
    void setAppearance(Appearance* appearance);
    /// The OpenGL primitive code; triangles at construction.
    std::uint32_t getPrimitive() const noexcept { return mPrimitive; }
    void setPrimitive(std::uint32_t primitive) noexcept { mPrimitive = primitive; }
    const geometry::OrientedBox& getBounds() const noexcept { return mBounds; }
    void setBounds(const geometry::OrientedBox& bounds) noexcept { mBounds = bounds; }

protected:
    /// Applies the appearance, when there is one.
    void applyAppearance() const;
    void setCollider(object::Pointer<geometry::MeshCollider3<float>> collider) noexcept;

private:
    object::Pointer<geometry::MeshCollider3<float>> mCollider;
    object::Pointer<Appearance> mAppearance;
    std::uint32_t mPrimitive = geometry::Primitive::kTriangles;
    geometry::OrientedBox mBounds;
};

}  // namespace nevrik::graphics3d

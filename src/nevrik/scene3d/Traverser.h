#pragma once

#include "nevrik/math/Matrix4.h"
#include "nevrik/math/Vector.h"
#include "nevrik/object/Object.h"
#include "nevrik/scene3d/Locale.h"
#include "nevrik/scene3d/detail/SpaceWalk.h"
#include "nevrik/types/String.h"

namespace nevrik::scene3d {

/// What every pass over the leaves of kind T of a universe keeps: the
/// universe, the locale being visited, the view the pass started from and
/// the offset that turns a locale's position into its position relative to
/// the viewer's locale. D is the concrete traverser.
///
/// Made on the stack for one pass and dropped after it; holds no references,
/// so the universe must outlive it. Used on the rendering thread.
template <class D, class T>
class Traverser : public object::Object {
public:
    /// `universe` may be null: a traverser over no universe visits nothing.
    explicit Traverser(Universe* universe) noexcept : mUniverse(universe) {}

    NEVRIK_CLASS_NAME(object::Object, ":Traverser")

    Universe* getUniverse() const noexcept { return mUniverse; }
    /// During a pass over every locale, the one being visited; otherwise the
    /// locale set with setLocale(), or null.
    Locale* getLocale() const noexcept { return mLocale; }
    /// Restricts the next passes to `locale` (null: every locale of the
    /// universe again).
    void setLocale(Locale* locale) noexcept { mLocale = locale; }
    /// The view of the last pass: locale coordinates of the viewer's locale
    /// to eye coordinates. The identity before the first.
    const math::Matrix4<float>& getView() const noexcept { return mView; }
    /// The negated position of the viewer's locale in the last pass.
    const math::Vector3<double>& getOffset() const noexcept { return mOffset; }

protected:
    using PlaceableType = geometry::Placeable<float, 3, T>;

    /// Walks `locale`'s space of T with `visitor` (see detail::walkSpace).
    template <class Visitor>
    static void walk(Locale& locale, Visitor& visitor) {
        detail::walkSpace<PlaceableType>(locale.template getSpace<T>().getRoot(), visitor);
    }

    Universe* mUniverse;
    Locale* mLocale = nullptr;
    math::Matrix4<float> mView;
    math::Vector3<double> mOffset;
};

}  // namespace nevrik::scene3d

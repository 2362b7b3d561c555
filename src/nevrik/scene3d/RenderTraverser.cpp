#include "nevrik/scene3d/RenderTraverser.h"

#include "nevrik/scene3d/Frustum.h"
#include "nevrik/scene3d/Viewer.h"

namespace nevrik::scene3d {
namespace {

// Culls with a frustum in the coordinates of the locale being walked and
// draws what survives.
struct Drawer {
    detail::CellVerdict enter(const geometry::Cube& loose) const noexcept {
        switch (frustum.classify(loose)) {
            case Frustum::kOutside:
                return detail::CellVerdict::Skip;
            case Frustum::kInside:
                return detail::CellVerdict::Whole;
            default:
                return detail::CellVerdict::Descend;
        }
    }

    void visit(geometry::Placeable<float, 3, Graphics>& placeable, bool whole) const {
        if (whole || frustum.intersects(placeable.getWorldBox())) {
            static_cast<Graphics&>(placeable).render(context, view);
        }
    }

    const Frustum& frustum;
    GraphicsContext* context;
    const math::Matrix4<float>& view;
};

math::Vector3<float> toFloat(const math::Vector3<double>& v) noexcept {
    return math::Vector3<float>(static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z));
}

math::Vector3<double> toDouble(const math::Vector3<float>& v) noexcept {
    return math::Vector3<double>(v.x, v.y, v.z);
}

}  // namespace

void RenderTraverser::traverse(Viewer* viewer) {
    if (viewer == nullptr) {
        return;
    }
    math::Matrix4<float> view = viewer->getWorldTransform();
    if (!view.invertGaussJordan()) {
        return;
    }
    viewer->getCamera().apply();
    mView = view;
    const Locale* home = viewer->getLocale();
    mOffset = home != nullptr ? math::Vector3<double>() - home->getPosition() : math::Vector3<double>();

    detail::forEachLocale(mUniverse, mLocale, [this, viewer](Locale& locale, bool preset) {
        mLocaleOffset = locale.getPosition() + mOffset;
        // A point p of this locale is p + localeOffset in the viewer's
        // locale, so the view gains the rotated offset, summed in doubles
        // so that far locales keep their precision near the viewer.
        mLocaleView = mView;
        for (int row = 0; row < 3; ++row) {
            double translation = mView(row, 3);
            for (int column = 0; column < 3; ++column) {
                translation += static_cast<double>(mView(row, column)) * mLocaleOffset[column];
            }
            mLocaleView(row, 3) = static_cast<float>(translation);
        }
        Frustum frustum = viewer->getFrustum();
        frustum.setOrigin(toFloat(toDouble(frustum.getOrigin()) - mLocaleOffset));
        if (preset && !frustum.intersects(locale.getGraphicsSpace().getRoot().getCube())) {
            return;
        }
        Drawer drawer{frustum, mContext, mLocaleView};
        walk(locale, drawer);
    });
}

}  // namespace nevrik::scene3d

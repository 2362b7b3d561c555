#pragma once

#include "nevrik/container/Map.h"
#include "nevrik/freetype/Font.h"
#include "nevrik/gui3d/FontMap.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"

#include <vector>

namespace nevrik::gui3d {

/// The font maps of one rendering context, one per font, made on first use.
///
/// Held by value by its gui3d::Context and used on that context's thread.
/// Holds one reference on each map until it dies; a font whose map could not
/// be made is remembered (and kept alive, so that its address names no other
/// font) and yields no map on later requests either.
class FontCache : public object::Object, private object::Noncopyable {
public:
    FontCache() = default;
    ~FontCache() override;

    /// The map of `font`, made now when the font has none yet. Borrowed: the
    /// cache keeps it. Null for a null font and for a font whose map cannot
    /// be made.
    FontMap* get(const freetype::Font* font);
    /// Drops every map and every remembered refusal.
    void clear();

    NEVRIK_CLASS_NAME(object::Object, ":FontCache")

    /// Fonts asked for so far, with or without a map.
    int getCount() const noexcept { return mFonts.getCount(); }

private:
    container::Map<const freetype::Font*, object::Pointer<FontMap>> mFonts;
    std::vector<object::Pointer<const freetype::Font>> mRefused;
};

}  // namespace nevrik::gui3d

#include "nevrik/gui3d/FontCache.h"

#include "nevrik/freetype/Font.h"

namespace nevrik::gui3d {

FontCache::~FontCache() {
    clear();
}

FontMap* FontCache::get(const freetype::Font* font) {
    if (font == nullptr) {
        return nullptr;
    }
    if (const object::Pointer<FontMap>* entry = mFonts.find(font)) {
        return entry->get();
    }
    object::Pointer<FontMap> map = FontMap::create(*font);
    if (!map) {
        mRefused.emplace_back(font);
    }
    mFonts.insert(font, map);
    return map.get();
}

void FontCache::clear() {
    mFonts.clear();
    mRefused.clear();
}

}  // namespace nevrik::gui3d

#include "nevrik/graphics/TranslatorRoster.h"

#include <initializer_list>

namespace nevrik::graphics {

TranslatorRoster::TranslatorRoster() {
    // The order is the choice rule: HDR claims everything, so it comes last
    // but for TIFF, which it therefore shadows.
    add(&mBMP);
    add(&mDDS);
    add(&mGIF);
    add(&mJPG);
    add(&mPCX);
    add(&mPNG);
    add(&mTGA);
    add(&mHDR);
    add(&mTIFF);
}

void TranslatorRoster::setMemoryLimit(std::int64_t bytes) noexcept {
    for (ImageTranslator* translator : std::initializer_list<ImageTranslator*>{
             &mBMP, &mDDS, &mGIF, &mJPG, &mPCX, &mPNG, &mTGA, &mHDR, &mTIFF}) {
        translator->setMemoryLimit(bytes);
    }
}

}  // namespace nevrik::graphics

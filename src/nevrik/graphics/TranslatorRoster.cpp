#include "nevrik/graphics/TranslatorRoster.h"

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

}  // namespace nevrik::graphics

#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/TranslatorBMP.h"
#include "nevrik/graphics/TranslatorDDS.h"
#include "nevrik/graphics/TranslatorGIF.h"
#include "nevrik/graphics/TranslatorHDR.h"
#include "nevrik/graphics/TranslatorJPG.h"
#include "nevrik/graphics/TranslatorPCX.h"
#include "nevrik/graphics/TranslatorPNG.h"
#include "nevrik/graphics/TranslatorTGA.h"
#include "nevrik/graphics/TranslatorTIFF.h"
#include "nevrik/io/TranslatorRoster.h"

#include <cstdint>

namespace nevrik::graphics {

/// The built-in image translators, asked in the order BMP, DDS, GIF, JPG,
/// PCX, PNG, TGA, HDR, TIFF. The HDR reader claims every file, so a file no
/// earlier translator knows goes to it (and fails there), and the TIFF
/// translator is never chosen.
///
/// Holds its translators by value; reference-counted or held by value
/// itself. One thread at a time.
class TranslatorRoster : public io::TranslatorRoster<Image> {
public:
    TranslatorRoster();
    TranslatorRoster(const TranslatorRoster&) = delete;
    TranslatorRoster& operator=(const TranslatorRoster&) = delete;

    /// Sets the memory limit of every built-in translator (ImageTranslator).
    void setMemoryLimit(std::int64_t bytes) noexcept;

private:
    TranslatorBMP mBMP;
    TranslatorDDS mDDS;
    TranslatorGIF mGIF;
    TranslatorJPG mJPG;
    TranslatorPCX mPCX;
    TranslatorPNG mPNG;
    TranslatorTGA mTGA;
    TranslatorHDR mHDR;
    TranslatorTIFF mTIFF;
};

}  // namespace nevrik::graphics

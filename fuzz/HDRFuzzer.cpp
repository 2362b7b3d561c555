#include "nevrik/graphics/TranslatorHDR.h"

#include "ImageFuzzer.h"

NEVRIK_IMAGE_FUZZER(TranslatorHDR)

#include "nevrik/graphics/TranslatorBMP.h"

#include "ImageFuzzer.h"

NEVRIK_IMAGE_FUZZER(TranslatorBMP)

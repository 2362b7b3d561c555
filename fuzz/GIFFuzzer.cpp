#include "nevrik/graphics/TranslatorGIF.h"

#include "ImageFuzzer.h"

NEVRIK_IMAGE_FUZZER(TranslatorGIF)

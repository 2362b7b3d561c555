#include "nevrik/graphics/TranslatorPNG.h"

#include "ImageFuzzer.h"

NEVRIK_IMAGE_FUZZER(TranslatorPNG)

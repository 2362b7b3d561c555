#include "nevrik/graphics/TranslatorTGA.h"

#include "ImageFuzzer.h"

NEVRIK_IMAGE_FUZZER(TranslatorTGA)

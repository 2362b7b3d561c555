#include "nevrik/graphics/TranslatorJPG.h"

#include "ImageFuzzer.h"

NEVRIK_IMAGE_FUZZER(TranslatorJPG)

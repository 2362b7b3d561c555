#include "nevrik/graphics/TranslatorDDS.h"

#include "ImageFuzzer.h"

NEVRIK_IMAGE_FUZZER(TranslatorDDS)

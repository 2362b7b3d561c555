#include "nevrik/graphics/TranslatorPCX.h"

#include "ImageFuzzer.h"

NEVRIK_IMAGE_FUZZER(TranslatorPCX)

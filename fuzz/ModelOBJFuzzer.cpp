// nevrik_obj_fuzzer: arbitrary bytes as a Wavefront OBJ model (see
// ModelFuzzer.h).

#include "ModelFuzzer.h"

#include "nevrik/graphics3d/loading/TranslatorOBJ.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nevrik;
    return fuzz::readModel(fuzz::modelTranslator<graphics3d::TranslatorOBJ>(), data, size);
}

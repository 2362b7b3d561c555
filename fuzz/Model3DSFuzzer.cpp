// nevrik_models_fuzzer: arbitrary bytes as a 3DS model (see ModelFuzzer.h).

#include "ModelFuzzer.h"

#include "nevrik/graphics3d/loading/Translator3DS.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nevrik;
    return fuzz::readModel(fuzz::modelTranslator<graphics3d::Translator3DS>(), data, size);
}

// nevrik_gltf_fuzzer: arbitrary bytes as a glTF 2.0 model, JSON or binary
// (see ModelFuzzer.h).

#include "ModelFuzzer.h"

#include "nevrik/graphics3d/loading/TranslatorGLTF.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nevrik;
    return fuzz::readModel(fuzz::modelTranslator<graphics3d::TranslatorGLTF>(), data, size);
}

// nevrik_models_fuzzer: arbitrary bytes as a 3DS model. One translator lives
// across inputs, so a read after a failed one is exercised too. Refusals are
// expected; anything else escaping, or a model whose faces name vertices
// outside their buffer, is a finding.
//
// No GL context is made: buffers fall back to client memory, and texture
// names resolve through a file factory that has no files, so no picture is
// ever decoded here (the image fuzzers cover the decoders).

#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/graphics3d/core/detail/BufferLock.h"
#include "nevrik/graphics3d/loading/TextureManager.h"
#include "nevrik/graphics3d/loading/Translator3DS.h"
#include "nevrik/io/DirectoryNotFoundException.h"
#include "nevrik/io/FileFactory.h"
#include "nevrik/io/TranslatorException.h"

#include "graphics/MemoryStream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace nevrik;

class NoFiles : public io::FileFactory {
public:
    bool exists(const types::String&) override { return false; }
    object::Pointer<io::File> create(const types::String&) override { return nullptr; }
    object::Pointer<io::File> open(const types::String&, std::uint32_t) override { return nullptr; }
    object::Pointer<io::Directory> getDirectory() override { throw io::DirectoryNotFoundException(); }
};

graphics3d::Translator3DS& translator() {
    static graphics3d::Translator3DS* sTranslator = [] {
        auto* made = new graphics3d::Translator3DS();
        auto files = object::make<NoFiles>();
        made->setTextureManager(object::make<graphics3d::TextureManager>(files.get()).get());
        return made;
    }();
    return *sTranslator;
}

// Every index a mesh draws must name a vertex of its buffer.
void checkMesh(graphics3d::IndexMesh& mesh) {
    graphics3d::IndexBuffer& indices = *mesh.getIndexBuffer();
    graphics3d::VertexBuffer& vertices = *mesh.getVertexBuffer(0);
    graphics3d::detail::BufferLock<graphics3d::IndexBuffer> lock(indices, graphics3d::VertexBuffer::kRead);
    if (!lock.isLocked() || mesh.getRangeEnd() > indices.getIndexCount()) {
        std::abort();
    }
    for (std::uint32_t i = mesh.getRangeStart(); i < mesh.getRangeEnd(); ++i) {
        if (indices.getIndex(i) >= vertices.getVertexCount()) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    testing::MemoryStream stream(data, size);
    try {
        const object::Pointer<graphics3d::Model> model =
            translator().read(stream, graphics3d::Translator3DS::kWholeStream);
        if (model) {
            for (const object::Pointer<graphics3d::Mesh>& mesh : model->getMeshes()) {
                checkMesh(dynamic_cast<graphics3d::IndexMesh&>(*mesh));
            }
        }
    } catch (const io::TranslatorException&) {
    }
    return 0;
}

#pragma once

#include "nevrik/graphics3d/core/BlendMode.h"
#include "nevrik/graphics3d/core/DepthMode.h"
#include "nevrik/graphics3d/core/PlainShader.h"
#include "nevrik/graphics3d/core/TextureShader.h"
#include "nevrik/graphics3d/loading/ModelTranslator.h"
#include "nevrik/graphics3d/loading/Translator3DS.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// Reads Wavefront OBJ files and the MTL material libraries they name into
/// a StaticModel: one vertex buffer (positions, normals, texture coordinates
/// when the file has any) and one index buffer for the whole file, one
/// IndexMesh per material, and per material an Appearance with a
/// ColourMaterial and its diffuse texture. Polygons are cut into triangles;
/// lines and points are not drawn. Faces without a material are drawn with
/// the default appearance; corners without a normal get the smooth normal of
/// the faces around their vertex.
///
/// Material libraries and textures are looked up like every texture a model
/// names: by base name, in the texture manager's folder only. A library that
/// cannot be had is recorded among the missing textures.
///
/// Reference-counted like every translator; used on the thread of the
/// current context.
class TranslatorOBJ : public ModelTranslator {
public:
    /// The `size` of read() that stands for everything the stream has left.
    static constexpr std::uint32_t kWholeStream = Translator3DS::kWholeStream;
    /// How many bytes probe() looks at.
    static constexpr int kProbeBytes = 256;

    TranslatorOBJ();
    ~TranslatorOBJ() override;

    /// The model in the next `size` bytes of `stream` (kWholeStream: all it
    /// has), with the caller's only reference; null when the file has no
    /// face. Throws io::TranslatorFormatException naming what is wrong for
    /// text the parser refuses and for a face naming a position, texture
    /// coordinate, normal or material the file does not have;
    /// io::TranslatorMemoryException when a buffer cannot be made.
    object::Pointer<Model> read(io::InputStream& stream, std::uint32_t size) override;
    /// Not supported: returns false.
    bool write(io::OutputStream& stream, Model& model) override;
    /// Whether the file starts as OBJ text: printable text whose first line
    /// that is neither blank nor a comment begins with an OBJ statement. The
    /// position is put back. Never throws.
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(ModelTranslator, ":TranslatorOBJ")

private:
};

}  // namespace nevrik::graphics3d

#pragma once

#include "nevrik/graphics3d/core/PolygonMode.h"
#include "nevrik/graphics3d/loading/ModelTranslator.h"
#include "nevrik/graphics3d/loading/Translator3DS.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// Reads glTF 2.0 models, as JSON (.gltf, buffers and pictures in files
/// beside it or in data URIs) or binary (.glb), into a StaticModel: per
/// primitive that a node of the scene draws one vertex buffer (positions,
/// normals, the base colour's texture coordinates, vertex colours when the
/// primitive has them), one index buffer and one IndexMesh.
///
/// The model is static: each node's transform (matrix or translation,
/// rotation and scale, down its ancestors) is applied to its meshes'
/// vertices, and a mesh two nodes draw is built twice. Strips and fans
/// become triangle lists; points and lines are not drawn. Missing normals
/// are the smooth normals of the faces, as the 3DS reader makes them.
/// Materials keep their base colour (factor and texture) and emission: the
/// factor is the diffuse and ambient colour and multiplies vertex colours;
/// alpha mode BLEND blends without depth writes, MASK tests alpha against
/// the cutoff, OPAQUE ignores alpha; double-sided materials are not culled.
/// Skins, morph targets, cameras, lights, animations and the other
/// textures are skipped.
///
/// Buffer and picture files are looked up like every texture a model names:
/// by base name, in the texture manager's folder only. Pictures, embedded
/// ones included, are decoded by the engine's image translators.
///
/// Reference-counted like every translator; used on the thread of the
/// current context.
class TranslatorGLTF : public ModelTranslator {
public:
    /// The `size` of read() that stands for everything the stream has left.
    static constexpr std::uint32_t kWholeStream = Translator3DS::kWholeStream;
    /// Most vertices one model may draw in all. The file's size bounds every
    /// accessor, but not how many nodes draw them.
    static constexpr std::uint32_t kMaxVertices = 1u << 22;
    /// Deepest nesting of JSON arrays and objects read; the parser recurses
    /// on nesting.
    static constexpr int kMaxNesting = 64;
    /// How many bytes probe() looks at for the "asset" object of JSON.
    static constexpr std::int32_t kProbeBytes = 1 << 16;

    TranslatorGLTF();
    ~TranslatorGLTF() override;

    /// The model in the next `size` bytes of `stream` (kWholeStream: all it
    /// has), with the caller's only reference; null when the scene draws no
    /// triangle. Throws io::TranslatorFormatException describing what is
    /// wrong (describe()) for data the parser refuses, an accessor, buffer
    /// view, index, node, material or texture that names what its file does
    /// not have, a node reached twice, a required extension, and a model
    /// drawing more than kMaxVertices vertices; io::TranslatorMemoryException
    /// when a buffer cannot be made. Pictures that cannot be had are recorded
    /// among the missing textures.
    object::Pointer<Model> read(io::InputStream& stream, std::uint32_t size) override;
    /// Not supported: returns false.
    bool write(io::OutputStream& stream, Model& model) override;
    /// Whether the file starts as binary glTF 2 (magic "glTF", version 2) or
    /// as a JSON object whose "asset" has a "version" of "2.x" within the
    /// first kProbeBytes. The position is put back. Never throws.
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(ModelTranslator, ":TranslatorGLTF")

private:
    class Reading;

    // What double-sided materials are drawn with: both faces, no culling.
    object::Pointer<PolygonMode> mDoubleSided;
};

}  // namespace nevrik::graphics3d

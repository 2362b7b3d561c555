#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/container/Map.h"
#include "nevrik/graphics3d/building/StaticModel.h"
#include "nevrik/graphics3d/core/Appearance.h"
#include "nevrik/graphics3d/core/BlendMode.h"
#include "nevrik/graphics3d/core/DepthMode.h"
#include "nevrik/graphics3d/core/IndexBuffer.h"
#include "nevrik/graphics3d/core/PlainShader.h"
#include "nevrik/graphics3d/core/TextureShader.h"
#include "nevrik/graphics3d/core/VertexBuffer.h"
#include "nevrik/graphics3d/loading/ModelTranslator.h"
#include "nevrik/graphics3d/loading/detail/ChunkReader.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

#include <cstdint>
#include <vector>

namespace nevrik::graphics3d {

/// Reads 3DS mesh files into a StaticModel: per mesh object one vertex
/// buffer (positions, smooth normals, texture coordinates) and one index
/// buffer, one IndexMesh per group of faces sharing a material, and per
/// material an Appearance with a ColourMaterial and its textures.
///
/// Every vertex and every face of the file is kept: faces of no group (as
/// converters write them) get a mesh of their own with the default
/// appearance, a face named by several groups is drawn once (by the first),
/// and vertices missing texture coordinates get (0, 0). Objects without
/// faces, lights, cameras and the keyframer are skipped.
///
/// Reference-counted like every translator. Every appearance it makes
/// shares its two shaders and, when transparent, its blend and depth modes,
/// which live as long as the translator (and the appearances holding them).
/// Reads one file at a time; used on the thread of the current context.
class Translator3DS : public ModelTranslator {
public:
    /// The `size` of read() that stands for everything the stream has left.
    static constexpr std::uint32_t kWholeStream = 0xFFFFFFFF;

    Translator3DS();
    ~Translator3DS() override;

    /// The model in the next `size` bytes of `stream` (kWholeStream: all it
    /// has), with the caller's only reference; null when the file holds no
    /// editor chunk. Throws io::TranslatorFormatException for data that does
    /// not start with the main chunk, a chunk or a read running past its
    /// parent or the data, 1 to 5 stray bytes at the end of a chunk, a face
    /// naming a vertex beyond the object's vertices and a face group naming
    /// a face beyond its faces; io::TranslatorMemoryException when a buffer
    /// cannot be made. The model read so far is dropped then. Textures that
    /// cannot be loaded (see getMissingTextures()) and groups naming unknown
    /// materials are no error.
    object::Pointer<Model> read(io::InputStream& stream, std::uint32_t size) override;
    /// Not supported: returns false.
    bool write(io::OutputStream& stream, Model& model) override;
    /// Whether the file's next two bytes are the main chunk's id; the
    /// position is put back. Never throws.
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(ModelTranslator, ":Translator3DS")

private:
    // The faces of one mesh object drawn with one material.
    struct FaceMaterial {
        object::Pointer<Appearance> appearance;
        std::uint32_t count = 0;
        std::vector<std::uint16_t> faces;
    };
    struct Colour {
        float rgba[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    };

    // Runs `handle` with the id of every chunk in the body of the current one.
    template <class Handle>
    void forEachChunk(const Handle& handle);

    void readEditor();
    void readNamedObject();
    void readMaterial();
    Colour readColour();
    float readPercentage();
    void readTextureMap(Appearance& appearance, int slot);
    void readMesh();
    void readFaceList();
    void readFaceGroup();
    // Builds the buffers and meshes of the mesh object just read.
    void buildMesh();
    void checkIndices(std::uint32_t vertexCount) const;
    // Drops from each group the faces an earlier group drew and gathers the
    // faces of no group into one of the default appearance.
    void assignFaces();
    object::Pointer<VertexBuffer> buildVertexBuffer(std::uint32_t vertexCount) const;
    object::Pointer<IndexBuffer> buildIndexBuffer(std::uint32_t indexCount) const;
    void resetMesh() noexcept;
    // Forgets everything of the file read last, the model included.
    void endRead() noexcept;

    // What the faces of no group are drawn with (lit, light grey, opaque):
    // one per model, made when the model needs it.
    object::Pointer<Appearance> mDefaultAppearance;
    object::Pointer<StaticModel> mModel;
    // The mesh object being read: positions (x, y, z), texture coordinates
    // (u, v), faces (a, b, c, flags) and its face groups; a list not read
    // is missing, which is not the same as empty.
    std::vector<float> mPositions;
    std::vector<float> mTexCoords;
    std::vector<std::uint16_t> mFaces;
    bool mHasPositions = false;
    bool mHasTexCoords = false;
    bool mHasFaces = false;
    container::Array<FaceMaterial> mGroups;
    container::Map<types::String, object::Pointer<Appearance>> mMaterials;
    detail::ChunkReader mChunks;
};

}  // namespace nevrik::graphics3d

#include "nevrik/graphics3d/loading/Translator3DS.h"

#include "nevrik/graphics3d/loading/detail/BufferFill.h"
#include "nevrik/graphics3d/loading/detail/SmoothNormals.h"

#include "nevrik/graphics3d/core/ColourMaterial.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/IndexBuffer.h"
#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/graphics3d/core/TypeWord.h"
#include "nevrik/graphics3d/core/VertexBuffer.h"
#include "nevrik/graphics3d/core/VertexFormat.h"
#include "nevrik/io/TranslatorFormatException.h"
#include "nevrik/io/TranslatorMemoryException.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace nevrik::graphics3d {
namespace {

enum ChunkId : std::uint16_t {
    kColourFloats = 0x0010,
    kColourBytes = 0x0011,
    kPercentageWord = 0x0030,
    kPercentageFloat = 0x0031,
    kEditor = 0x3D3D,
    kNamedObject = 0x4000,
    kTriangleMesh = 0x4100,
    kVertexList = 0x4110,
    kFaceList = 0x4120,
    kFaceGroup = 0x4130,
    kTexCoordList = 0x4140,
    kLocalAxes = 0x4160,
    kMain = 0x4D4D,
    kMaterialName = 0xA000,
    kAmbient = 0xA010,
    kDiffuse = 0xA020,
    kSpecular = 0xA030,
    kShininess = 0xA040,
    kTransparency = 0xA050,
    kEmission = 0xA080,
    kEmissionToo = 0xA084,
    kTextureMap = 0xA200,
    kBumpMap = 0xA230,
    kMapFileName = 0xA300,
    kMaterialEntry = 0xAFFF,
};

constexpr int kFaceWords = 4;  // a, b, c, flags
constexpr int kLocalAxesFloats = 12;

using detail::fillBuffer;

}  // namespace

Translator3DS::Translator3DS() = default;

Translator3DS::~Translator3DS() = default;

object::Pointer<Model> Translator3DS::read(io::InputStream& stream, std::uint32_t size) {
    if (size == kWholeStream) {
        size = stream.available();
    }
    // Whatever way read ends, nothing of this file stays behind.
    struct EndRead {
        Translator3DS& translator;
        ~EndRead() { translator.endRead(); }
    } endRead{*this};
    clearMissingTextures();
    mChunks.start(stream, static_cast<std::int32_t>(
                              std::min<std::uint32_t>(size, std::numeric_limits<std::int32_t>::max())));
    try {
        if (!mChunks.next() || mChunks.getId() != kMain) {
            throw io::TranslatorFormatException();
        }
        forEachChunk([this](std::uint16_t id) {
            if (id == kEditor) {
                readEditor();
            } else if (id == kMaterialEntry) {
                readMaterial();
            }
        });
    } catch (object::Exception& error) {
        // No chunk is current while its header is being read.
        char where[32] = "3DS chunk header";
        if (mChunks.getId() != 0) {
            std::snprintf(where, sizeof where, "3DS chunk 0x%04X", static_cast<unsigned>(mChunks.getId()));
        }
        error.addContext(where);
        throw;
    }
    return std::move(mModel);
}

bool Translator3DS::write(io::OutputStream&, Model&) {
    return false;
}

bool Translator3DS::probe(io::File& file) {
    try {
        const std::int32_t position = file.getPosition();
        std::uint8_t id[2] = {0, 0};
        const std::int32_t got = file.getInputStream().read(id, 2);
        file.seek(position, io::File::kBegin);
        return got == 2 && id[0] == (kMain & 0xFF) && id[1] == kMain >> 8;
    } catch (...) {
        return false;
    }
}

template <class Handle>
void Translator3DS::forEachChunk(const Handle& handle) {
    mChunks.enter();
    while (mChunks.next()) {
        handle(mChunks.getId());
    }
    mChunks.leave();
}

void Translator3DS::readEditor() {
    if (!mModel) {
        mModel = object::make<StaticModel>();
    }
    forEachChunk([this](std::uint16_t id) {
        if (id == kNamedObject) {
            readNamedObject();
        } else if (id == kMaterialEntry) {
            readMaterial();
        }
    });
    mModel->complete();
}

void Translator3DS::readNamedObject() {
    mChunks.readName();  // Objects are not kept by name.
    forEachChunk([this](std::uint16_t id) {
        if (id == kTriangleMesh) {
            readMesh();
        }
    });
}

void Translator3DS::readMaterial() {
    auto appearance = object::make<Appearance>();
    auto material = object::make<ColourMaterial>();
    appearance->setMaterial(material.get());
    const auto setColour = [&](ColourMaterial::Colour which, const Colour& colour) {
        material->setColour(which, colour.rgba[0], colour.rgba[1], colour.rgba[2], colour.rgba[3]);
    };
    float transparency = 0.0f;
    forEachChunk([&](std::uint16_t id) {
        switch (id) {
            case kMaterialName:
                appearance->setName(mChunks.readString());
                break;
            case kAmbient:
                setColour(ColourMaterial::kAmbient, readColour());
                break;
            case kDiffuse:
                setColour(ColourMaterial::kDiffuse, readColour());
                break;
            case kSpecular:
                setColour(ColourMaterial::kSpecular, readColour());
                break;
            case kEmission:
            case kEmissionToo:
                setColour(ColourMaterial::kEmission, readColour());
                break;
            case kShininess:
                material->setShininess(100.0f * readPercentage());
                break;
            case kTransparency:
                transparency = readPercentage();
                break;
            case kTextureMap:
                readTextureMap(*appearance, 0);
                break;
            case kBumpMap:
                readTextureMap(*appearance, 1);
                break;
            default:
                break;
        }
    });
    for (int which = ColourMaterial::kAmbient; which < ColourMaterial::kColours; ++which) {
        const auto colour = static_cast<ColourMaterial::Colour>(which);
        const float* rgba = material->getColour(colour);
        material->setColour(colour, rgba[0], rgba[1], rgba[2], 1.0f - transparency);
    }
    setSharedStates(*appearance, transparency > 0.0f);
    // A later material of the same name takes the place of the earlier one.
    mMaterials.insert(appearance->getName(), appearance);
}

// The first colour given whole, as floats or as bytes; (0, 0, 0, 0) when
// there is none.
Translator3DS::Colour Translator3DS::readColour() {
    Colour colour;
    mChunks.enter();
    while (mChunks.next()) {
        if (mChunks.getId() == kColourFloats) {
            // A float colour cut short is passed over for the next one.
            if (mChunks.getBodyLeft() >= 12) {
                for (int i = 0; i < 3; ++i) {
                    colour.rgba[i] = mChunks.readFloat();
                }
                break;
            }
        } else if (mChunks.getId() == kColourBytes) {
            std::uint8_t rgb[3];
            if (mChunks.readUpTo(rgb, 3) == 3) {
                for (int i = 0; i < 3; ++i) {
                    colour.rgba[i] = static_cast<float>(rgb[i]) / 255.0f;
                }
                break;
            }
        }
    }
    mChunks.leave();
    return colour;
}

// The first percentage given, as a fraction; 0 when there is none.
float Translator3DS::readPercentage() {
    float value = 0.0f;
    mChunks.enter();
    while (mChunks.next()) {
        if (mChunks.getId() == kPercentageWord) {
            value = static_cast<float>(mChunks.readU16()) * 0.01f;
            break;
        }
        if (mChunks.getId() == kPercentageFloat) {
            value = mChunks.readFloat() * 0.01f;
            break;
        }
    }
    mChunks.leave();
    return value;
}

void Translator3DS::readTextureMap(Appearance& appearance, int slot) {
    types::String name;
    forEachChunk([&](std::uint16_t id) {
        if (id == kMapFileName) {
            name = mChunks.readString();
        }
    });
    if (const object::Pointer<Texture> texture = loadTexture(name)) {
        texture->setFilter(kMinFilter, kMagFilter);
        appearance.setTexture(slot, texture.get());
    }
}

void Translator3DS::readMesh() {
    resetMesh();
    forEachChunk([this](std::uint16_t id) {
        switch (id) {
            case kVertexList:
                mChunks.readFloats(mPositions, 3 * mChunks.readU16());
                mHasPositions = true;
                break;
            case kTexCoordList:
                mChunks.readFloats(mTexCoords, 2 * mChunks.readU16());
                mHasTexCoords = true;
                break;
            case kFaceList:
                readFaceList();
                break;
            case kFaceGroup:
                readFaceGroup();
                break;
            case kLocalAxes: {
                // Vertices are stored in model space already; the axes are
                // only checked for being there.
                std::vector<float> axes;
                mChunks.readFloats(axes, kLocalAxesFloats);
                break;
            }
            default:
                break;
        }
    });
    buildMesh();
    resetMesh();
}

void Translator3DS::readFaceList() {
    mChunks.readU16s(mFaces, kFaceWords * mChunks.readU16());
    mHasFaces = true;
    forEachChunk([this](std::uint16_t id) {
        if (id == kFaceGroup) {
            readFaceGroup();
        }
    });
}

void Translator3DS::readFaceGroup() {
    const types::String name = mChunks.readName();
    const std::uint16_t count = mChunks.readU16();
    if (count == 0) {
        return;
    }
    FaceMaterial group;
    if (const object::Pointer<Appearance>* appearance = mMaterials.find(name)) {
        group.appearance = *appearance;
    }
    group.count = count;
    mChunks.readU16s(group.faces, count);
    mGroups.add(std::move(group));
}

void Translator3DS::buildMesh() {
    if (!mHasPositions || !mHasFaces || mFaces.empty()) {
        return;
    }
    const std::size_t vertexCount = mPositions.size() / 3;
    checkIndices(static_cast<std::uint32_t>(vertexCount));
    assignFaces();
    // Every face is drawn exactly once, so the indices are three a face; a
    // face list holds at most 0xFFFF faces.
    const auto indexCount = static_cast<std::uint32_t>(3 * (mFaces.size() / kFaceWords));
    const object::Pointer<VertexBuffer> vertices = buildVertexBuffer(static_cast<std::uint32_t>(vertexCount));
    const object::Pointer<IndexBuffer> indices = buildIndexBuffer(indexCount);
    std::uint32_t start = 0;
    for (const FaceMaterial& group : mGroups) {
        if (group.count == 0) {
            continue;
        }
        auto mesh = object::make<IndexMesh>();
        mesh->setAppearance(group.appearance.get());
        mesh->setPrimitive(GL_TRIANGLES);
        mesh->setVertexBuffer(vertices.get(), 0);
        mesh->setIndexBuffer(indices.get());
        mesh->setRange(start, start + 3 * group.count);
        mesh->updateBounds();
        mModel->addMesh(mesh.get());
        start += 3 * group.count;
    }
}

void Translator3DS::assignFaces() {
    const std::size_t faceCount = mFaces.size() / kFaceWords;
    std::vector<bool> drawn(faceCount, false);
    for (FaceMaterial& group : mGroups) {
        const auto end = std::remove_if(group.faces.begin(), group.faces.end(), [&](std::uint16_t face) {
            const bool again = drawn[face];
            drawn[face] = true;
            return again;
        });
        group.faces.erase(end, group.faces.end());
        group.count = static_cast<std::uint32_t>(group.faces.size());
    }
    FaceMaterial loose;
    for (std::size_t face = 0; face < faceCount; ++face) {
        if (!drawn[face]) {
            loose.faces.push_back(static_cast<std::uint16_t>(face));
        }
    }
    if (loose.faces.empty()) {
        return;
    }
    if (!mDefaultAppearance) {
        mDefaultAppearance = makeDefaultAppearance(*getPlainShader());
    }
    loose.appearance = mDefaultAppearance;
    loose.count = static_cast<std::uint32_t>(loose.faces.size());
    mGroups.add(std::move(loose));
}

// Faces naming a vertex beyond the vertices and groups naming a face beyond
// the faces (a corrupt file) are refused before any of them is used.
void Translator3DS::checkIndices(std::uint32_t vertexCount) const {
    for (std::size_t i = 0; i < mFaces.size(); i += kFaceWords) {
        if (mFaces[i] >= vertexCount || mFaces[i + 1] >= vertexCount || mFaces[i + 2] >= vertexCount) {
            throw io::TranslatorFormatException();
        }
    }
    const std::size_t faceCount = mFaces.size() / kFaceWords;
    for (const FaceMaterial& group : mGroups) {
        for (std::uint16_t face : group.faces) {
            if (face >= faceCount) {
                throw io::TranslatorFormatException();
            }
        }
    }
}

object::Pointer<VertexBuffer> Translator3DS::buildVertexBuffer(std::uint32_t vertexCount) const {
    VertexFormat format;
    const int position = format.add(TypeWord::kFloat3, VertexFormat::kPositionArray);
    const int normal = format.add(TypeWord::kFloat3, VertexFormat::kNormalArray);
    const int texCoord = mHasTexCoords ? format.add(TypeWord::kFloat2, VertexFormat::kAllTextureArrays) : -1;
    auto buffer = VertexBuffer::create(format, vertexCount, VertexBuffer::kStatic);
    if (!buffer) {
        throw io::TranslatorMemoryException();
    }

    const std::vector<float> normals = detail::smoothNormalSums(mPositions, mFaces, kFaceWords);

    const std::uint32_t stride = buffer->getStride();
    fillBuffer(*buffer, [&](std::uint8_t* data) {
        for (std::size_t i = 0; i < vertexCount; ++i) {
            std::uint8_t* vertex = data + i * stride;
            detail::storeFloats(vertex + format.getEntry(position)->offset, &mPositions[i * 3], 3);
            float unit[3];
            detail::unitNormal(&normals[i * 3], unit);
            detail::storeFloats(vertex + format.getEntry(normal)->offset, unit, 3);
            if (texCoord >= 0) {
                // A texture-coordinate list shorter than the positions leaves
                // the rest at (0, 0).
                const bool given = i * 2 + 1 < mTexCoords.size();
                const float uv[2] = {given ? mTexCoords[i * 2] : 0.0f,
                                     1.0f - (given ? mTexCoords[i * 2 + 1] : 0.0f)};
                detail::storeFloats(vertex + format.getEntry(texCoord)->offset, uv, 2);
            }
        }
    });
    return buffer;
}

object::Pointer<IndexBuffer> Translator3DS::buildIndexBuffer(std::uint32_t indexCount) const {
    auto buffer = IndexBuffer::create(2, indexCount, VertexBuffer::kStatic);
    if (!buffer) {
        throw io::TranslatorMemoryException();
    }
    fillBuffer(*buffer, [&](std::uint8_t* data) {
        std::size_t at = 0;
        for (const FaceMaterial& group : mGroups) {
            for (std::uint16_t face : group.faces) {
                std::memcpy(data + at, &mFaces[std::size_t{face} * kFaceWords], 3 * sizeof(std::uint16_t));
                at += 3 * sizeof(std::uint16_t);
            }
        }
    });
    return buffer;
}

void Translator3DS::resetMesh() noexcept {
    mPositions.clear();
    mTexCoords.clear();
    mFaces.clear();
    mHasPositions = false;
    mHasTexCoords = false;
    mHasFaces = false;
    mGroups.clear();
}

void Translator3DS::endRead() noexcept {
    mChunks.finish();
    resetMesh();
    mMaterials.clear();
    mDefaultAppearance.reset();
    mModel.reset();
}

}  // namespace nevrik::graphics3d

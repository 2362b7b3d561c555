#include "nevrik/graphics3d/building/Optimiser.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics3d/building/UnsupportedPrimitiveException.h"
#include "nevrik/graphics3d/core/ColourMaterial.h"
#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/graphics3d/core/PlainShader.h"
#include "nevrik/graphics3d/core/Texture2D.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/ModelData.h"

#include <functional>
#include <vector>

namespace nevrik::graphics3d {
namespace {

template <class T>
object::Pointer<T> make() {
    return object::make<T>();
}

// A mesh of neither drawable kind: the optimiser passes it through.
struct OtherMesh : Mesh {
    bool draw() override { return true; }
    object::Pointer<geometry::TriangleMesh3<float>> createTriangleMesh() const override { return nullptr; }
};

// `count` distinct positions along x.
std::vector<float> line(std::uint32_t count) {
    std::vector<float> xyz;
    for (std::uint32_t vertex = 0; vertex < count; ++vertex) {
        xyz.insert(xyz.end(), {static_cast<float>(vertex), static_cast<float>(vertex % 2), 0});
    }
    return xyz;
}

object::Pointer<IndexMesh> indexMeshOf(std::uint32_t vertices, const std::vector<std::uint32_t>& indices) {
    auto mesh = make<IndexMesh>();
    mesh->setVertexBuffer(makePositions(line(vertices)).get(), 0);
    mesh->setIndexBuffer(makeIndices(2, indices).get());
    return mesh;
}

class OptimiserTest : public GlFixture {
protected:
    // An appearance of the material and depth mode given, the test's
    // shader, and `texture` on unit 0.
    object::Pointer<Appearance> look(Material* material, DepthMode* depth = nullptr,
                                     Texture* texture = nullptr) {
        auto appearance = make<Appearance>();
        appearance->setMaterial(material);
        appearance->setShader(mShader.get());
        appearance->setDepthMode(depth);
        appearance->setTexture(0, texture);
        return appearance;
    }

    // Program bytes of the optimised `meshes`.
    static int codeSize(std::initializer_list<Mesh*> meshes) {
        Optimiser optimiser;
        for (Mesh* mesh : meshes) {
            EXPECT_TRUE(optimiser.add(mesh));
        }
        optimiser.process();
        return optimiser.compile()->getProgram()->getCode().getCount();
    }

    // Jobs may hold the context's default states: they go before it does.
    void TearDown() override {
        mOptimiser.reset();
        GlFixture::TearDown();
    }

    object::Pointer<PlainShader> mShader = object::make<PlainShader>(VertexFormat::kPositionArray);
    object::Pointer<Optimiser> mOptimiser = make<Optimiser>();
};

TEST_F(OptimiserTest, MeshesThatDrawNothingAreRefused) {
    const auto noBuffers = make<VertexMesh>();
    const auto noVertices = make<IndexMesh>();
    noVertices->setIndexBuffer(makeIndices(2, {0, 1, 2}).get());
    const auto noIndices = make<IndexMesh>();
    noIndices->setVertexBuffer(makePositions(line(3)).get(), 0);
    const auto pastTheIndices = indexMeshOf(3, {0, 1, 2});
    pastTheIndices->setRange(0, 4);
    const auto backwards = meshOf(line(3));
    backwards->setRange(2, 1);
    // Drawing more than the shortest buffer holds would read past it.
    const auto uneven = meshOf(line(6));
    uneven->setVertexBuffer(makePositions(line(3)).get(), 1);
    uneven->setRange(0, 6);
    for (Mesh* mesh :
         std::initializer_list<Mesh*>{nullptr, noBuffers.get(), noVertices.get(), noIndices.get(),
                                      pastTheIndices.get(), backwards.get(), uneven.get()}) {
        EXPECT_FALSE(mOptimiser->add(mesh));
    }
    EXPECT_TRUE(mOptimiser->getJobs().isEmpty());
}

TEST_F(OptimiserTest, JobsTakeBuffersPerComponentRangeAndStates) {
    VertexFormat interleaved;
    interleaved.add(TypeWord::kFloat3, VertexFormat::kPositionArray);
    interleaved.add(TypeWord::kFloat3, VertexFormat::kNormalArray);
    const auto both = VertexBuffer::create(interleaved, 8, VertexBuffer::kStatic);
    const auto coordinates =
        makeVertices(TypeWord::kFloat2, VertexFormat::kTextureArray << 1, std::vector<float>(16));
    const auto indexed = indexMeshOf(8, {0, 1, 2, 3, 4, 5, 6, 7, 0, 1});
    indexed->setVertexBuffer(both.get(), 0);
    indexed->setVertexBuffer(coordinates.get(), 3);
    indexed->setRange(3, 9);
    indexed->setPrimitive(GL_TRIANGLE_STRIP);
    const auto material = make<ColourMaterial>();
    const auto depth = make<DepthMode>();
    const auto texture = Texture2D::create(graphics::PIXEL_RGBA8, 2, 2, 1);
    indexed->setAppearance(look(material.get(), depth.get(), texture.get()).get());
    const auto vertices = meshOf(line(5));
    const auto other = make<OtherMesh>();
    other->setPrimitive(GL_POINTS);

    ASSERT_TRUE(mOptimiser->add(indexed.get()));
    ASSERT_TRUE(mOptimiser->add(vertices.get()));
    ASSERT_TRUE(mOptimiser->add(other.get()));
    const auto& jobs = mOptimiser->getJobs();
    ASSERT_EQ(jobs.getCount(), 3);

    const Job& first = jobs[0];
    EXPECT_EQ(first.mesh.get(), nullptr);
    EXPECT_EQ(first.indexBuffer.get(), indexed->getIndexBuffer());
    EXPECT_EQ(first.first, 3u);
    EXPECT_EQ(first.count, 6u);
    EXPECT_EQ(first.primitive, GLenum{GL_TRIANGLE_STRIP});
    for (int bit = 0; bit < VertexBuffer::kComponentBits; ++bit) {
        const VertexBuffer* expected = bit == 0 || bit == 2 ? both.get()
                                       : bit == 13          ? coordinates.get()
                                                            : nullptr;
        EXPECT_EQ(first.vertexBuffers[bit].get(), expected) << bit;
    }
    EXPECT_EQ(first.material.get(), material.get());
    EXPECT_EQ(first.shader.get(), mShader.get());
    EXPECT_EQ(first.depthMode.get(), depth.get());
    EXPECT_EQ(first.textures[0].get(), texture.get());
    EXPECT_EQ(first.stencilMode.get(), nullptr);

    // An empty range draws every vertex.
    EXPECT_EQ(jobs[1].first, 0u);
    EXPECT_EQ(jobs[1].count, 5u);
    EXPECT_EQ(jobs[1].indexBuffer.get(), nullptr);

    EXPECT_EQ(jobs[2].mesh.get(), other.get());
    EXPECT_EQ(jobs[2].count, 0u);
    EXPECT_EQ(jobs[2].primitive, GLenum{GL_POINTS});
    EXPECT_EQ(other->getReferenceCount(), 2);
}

TEST_F(OptimiserTest, StatesCarryOverToLaterJobsButTexturesDoNot) {
    const auto bare = meshOf(line(3));
    const auto deep = meshOf(line(3));
    const auto flat = meshOf(line(3));
    const auto plain = meshOf(line(3));
    const auto firstMaterial = make<ColourMaterial>();
    const auto secondMaterial = make<ColourMaterial>();
    const auto depth = make<DepthMode>();
    const auto texture = Texture2D::create(graphics::PIXEL_RGBA8, 2, 2, 1);
    deep->setAppearance(look(firstMaterial.get(), depth.get(), texture.get()).get());
    flat->setAppearance(look(secondMaterial.get()).get());
    for (const auto& mesh : {bare, deep, flat, plain}) {
        ASSERT_TRUE(mOptimiser->add(mesh.get()));
    }
    const auto& jobs = mOptimiser->getJobs();

    // Nothing came before the first: it stays without states.
    EXPECT_EQ(jobs[0].depthMode.get(), nullptr);
    EXPECT_EQ(jobs[0].material.get(), nullptr);
    EXPECT_EQ(jobs[1].depthMode.get(), depth.get());
    EXPECT_EQ(jobs[2].depthMode.get(), depth.get());
    EXPECT_EQ(jobs[2].material.get(), secondMaterial.get());
    EXPECT_EQ(jobs[2].textures[0].get(), nullptr);
    EXPECT_EQ(jobs[3].material.get(), secondMaterial.get());
    EXPECT_EQ(jobs[3].shader.get(), mShader.get());
    EXPECT_EQ(jobs[3].depthMode.get(), depth.get());
}

TEST_F(OptimiserTest, OversizedMeshesAreAddedPieceByPiece) {
    // Index meshes answer to the index limit, vertex meshes to the vertex one.
    ASSERT_TRUE(mOptimiser->getSplitter().setMaxVertices(16));
    ASSERT_TRUE(mOptimiser->getSplitter().setMaxIndices(24));
    const auto material = make<ColourMaterial>();
    const auto vertices = meshOf(line(40));
    vertices->setAppearance(look(material.get()).get());
    ASSERT_TRUE(mOptimiser->add(vertices.get()));
    ASSERT_TRUE(mOptimiser->add(indexMeshOf(12, std::vector<std::uint32_t>(24, 1)).get()));
    ASSERT_EQ(mOptimiser->getJobs().getCount(), 5);
    std::uint32_t drawn = 0;
    for (const Job& job : mOptimiser->getJobs()) {
        EXPECT_NE(job.vertexBuffers[0].get(), vertices->getVertexBuffer(0));
        EXPECT_EQ(job.material.get(), material.get());
        drawn += job.count;
    }
    EXPECT_EQ(drawn, 40u + 24u);

    const auto fan = meshOf(line(17));
    fan->setPrimitive(GL_TRIANGLE_FAN);
    EXPECT_THROW(mOptimiser->add(fan.get()), UnsupportedPrimitiveException);
    EXPECT_EQ(mOptimiser->getJobs().getCount(), 5);
}

TEST_F(OptimiserTest, ProcessSortsByStateAndPacksTheBuffers) {
    const auto other = object::make<PlainShader>(VertexFormat::kPositionArray);
    const auto firstMaterial = make<ColourMaterial>();
    const auto secondMaterial = make<ColourMaterial>();
    const auto thirdMaterial = make<ColourMaterial>();
    const auto a = meshOf(line(3));
    const auto b = meshOf(line(6));
    const auto c = indexMeshOf(4, {0, 1, 2, 1, 2, 3});
    a->setAppearance(look(firstMaterial.get()).get());
    auto otherLook = look(secondMaterial.get());
    otherLook->setShader(other.get());
    b->setAppearance(otherLook.get());
    c->setAppearance(look(thirdMaterial.get()).get());
    for (const auto& mesh : {object::Pointer<VertexMesh>(c), a, b}) {
        ASSERT_TRUE(mOptimiser->add(mesh.get()));
    }
    mOptimiser->process();

    const auto& jobs = mOptimiser->getJobs();
    ASSERT_EQ(jobs.getCount(), 3);
    for (int i = 1; i < 3; ++i) {
        EXPECT_FALSE(std::less<Shader*>()(jobs[i].shader.get(), jobs[i - 1].shader.get()));
    }
    // The two jobs of one shader are neighbours, ordered by material.
    const int pair = jobs[0].shader == jobs[1].shader ? 0 : 1;
    EXPECT_EQ(jobs[pair].shader.get(), mShader.get());
    EXPECT_EQ(jobs[pair + 1].shader.get(), mShader.get());
    EXPECT_TRUE(std::less<Material*>()(jobs[pair].material.get(), jobs[pair + 1].material.get()));

    // One merged buffer of positions holds every job's vertices one after
    // the other; the index job's indices moved with its vertices.
    VertexBuffer* merged = jobs[0].vertexBuffers[0].get();
    ASSERT_NE(merged, nullptr);
    EXPECT_EQ(merged->getVertexCount(), 13u);
    EXPECT_EQ(merged->getUsageIndex(), VertexBuffer::kStatic);
    std::uint32_t drawn = 0;
    for (const Job& job : jobs) {
        EXPECT_EQ(job.vertexBuffers[0].get(), merged);
        if (job.indexBuffer) {
            EXPECT_NE(job.indexBuffer.get(), c->getIndexBuffer());
            continue;
        }
        drawn += job.count;
        EXPECT_LE(job.first + job.count, 13u);
    }
    EXPECT_EQ(drawn, 9u);
    EXPECT_EQ(a->getVertexBuffer(0)->getReferenceCount(), 1) << "the jobs let go of their own buffers";
}

TEST_F(OptimiserTest, ProgramRepeatsNoStateThePreviousJobSet) {
    const auto material = make<ColourMaterial>();
    const auto otherMaterial = make<ColourMaterial>();
    std::vector<object::Pointer<VertexMesh>> meshes;
    for (int i = 0; i < 4; ++i) {
        meshes.push_back(meshOf(line(3)));
        meshes.back()->setAppearance(look(i < 3 ? material.get() : otherMaterial.get()).get());
    }
    const int one = codeSize({meshes[0].get()});
    const int two = codeSize({meshes[0].get(), meshes[1].get()});
    const int three = codeSize({meshes[0].get(), meshes[1].get(), meshes[2].get()});
    // Same states in one merged buffer: each further job is one draw call.
    EXPECT_GT(two, one);
    EXPECT_EQ(three - two, two - one);
    // Another material costs its own calls on top of the draw.
    const int changed = codeSize({meshes[0].get(), meshes[1].get(), meshes[3].get()});
    EXPECT_GT(changed - two, two - one);
}

TEST_F(OptimiserTest, TakeMeshesRebuildsJobsAndSetsOnlyChangedStatesUnlessAlways) {
    const auto material = make<ColourMaterial>();
    const auto indexed = indexMeshOf(4, {0, 1, 2, 1, 2, 3});
    indexed->setRange(3, 6);
    const auto vertices = meshOf(line(3));
    const auto other = make<OtherMesh>();
    indexed->setAppearance(look(material.get()).get());
    vertices->setAppearance(look(material.get()).get());
    for (Mesh* mesh : std::initializer_list<Mesh*>{indexed.get(), vertices.get(), other.get()}) {
        ASSERT_TRUE(mOptimiser->add(mesh));
    }

    container::Array<object::Pointer<Mesh>> meshes;
    mOptimiser->takeMeshes(meshes, false);
    ASSERT_EQ(meshes.getCount(), 3);
    const auto* first = dynamic_cast<IndexMesh*>(meshes[0].get());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->getIndexBuffer(), indexed->getIndexBuffer());
    EXPECT_EQ(first->getVertexBuffer(0), indexed->getVertexBuffer(0));
    EXPECT_EQ(first->getRangeStart(), 3u);
    EXPECT_EQ(first->getRangeEnd(), 6u);
    EXPECT_EQ(first->getAppearance()->getMaterial(), material.get());
    EXPECT_EQ(first->getAppearance()->getPolygonMode(), &mContext->getDefaultPolygonMode());
    EXPECT_EQ(dynamic_cast<IndexMesh*>(meshes[1].get()), nullptr);
    // The same material as the job before: left at the appearance's default.
    EXPECT_EQ(meshes[1]->getAppearance()->getMaterial(), &mContext->getDefaultMaterial());
    EXPECT_EQ(meshes[2].get(), other.get());

    container::Array<object::Pointer<Mesh>> always;
    mOptimiser->takeMeshes(always, true);
    EXPECT_EQ(always[1]->getAppearance()->getMaterial(), material.get());
    EXPECT_EQ(always[1]->getAppearance()->getShader(), mShader.get());
}

}  // namespace
}  // namespace nevrik::graphics3d

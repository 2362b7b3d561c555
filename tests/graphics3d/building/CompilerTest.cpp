#include "nevrik/graphics3d/building/Compiler.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics3d/core/Appearance.h"
#include "nevrik/graphics3d/core/ColourMaterial.h"
#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/graphics3d/core/PlainShader.h"
#include "nevrik/graphics3d/core/Texture2D.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/MeshData.h"
#include "graphics3d/RenderState.h"

#include <string>
#include <utility>

namespace nevrik::graphics3d {
namespace {

template <class T, class... Arguments>
object::Pointer<T> make(Arguments&&... arguments) {
    return object::make<T>(std::forward<Arguments>(arguments)...);
}

// A shader that logs its disables and counts its deaths.
class LoggingShader : public Shader {
public:
    explicit LoggingShader(std::string& log) : Shader(VertexFormat::kPositionArray), mLog(log) {}
    ~LoggingShader() override { mLog += 'x'; }
    void disable() const override { mLog += '-'; }

private:
    std::string& mLog;
};

// Every category set, with a lit shader and an emission giving `red`, so
// that drawing works from any scrambled state.
object::Pointer<Appearance> appearanceOf(float red) {
    const auto material = make<ColourMaterial>();
    material->setColour(ColourMaterial::kEmission, red, 0.0f, 0.0f, 1.0f);
    const auto appearance = make<Appearance>();
    appearance->setMaterial(material.get());
    appearance->setShader(make<PlainShader>(VertexFormat::kPositionArray, FixedShader::kLighting).get());
    appearance->setBlendMode(make<BlendMode>().get());
    appearance->setStencilMode(make<StencilMode>().get());
    appearance->setDepthMode(make<DepthMode>().get());
    appearance->setPolygonMode(make<PolygonMode>().get());
    return appearance;
}

// Feeds what `mesh` draws with to `compiler` as the model optimiser feeds a
// job, and appends its draw.
void compileLikeAJob(Compiler& compiler, const VertexMesh& mesh) {
    const Appearance& appearance = *mesh.getAppearance();
    compiler.setShader(appearance.getShader());
    compiler.setMaterial(appearance.getMaterial());
    compiler.setBlendMode(appearance.getBlendMode());
    compiler.setStencilMode(appearance.getStencilMode());
    compiler.setDepthMode(appearance.getDepthMode());
    compiler.setPolygonMode(appearance.getPolygonMode());
    VertexBuffer* buffer = mesh.getVertexBuffer(mesh.getBufferCount() - 1);
    ASSERT_TRUE(compiler.setVertexBuffer(buffer, buffer->getComponentMask()));
    const std::uint32_t count = mesh.getRangeEnd() - mesh.getRangeStart();
    if (const auto* indexed = dynamic_cast<const IndexMesh*>(&mesh)) {
        ASSERT_TRUE(compiler.setIndexBuffer(indexed->getIndexBuffer()));
        ASSERT_TRUE(compiler.drawElements(mesh.getPrimitive(), mesh.getRangeStart(), count));
    } else {
        ASSERT_TRUE(compiler.drawArrays(mesh.getPrimitive(), mesh.getRangeStart(), count));
    }
}

// Scrambled state in which the triangles still show: the scramble leaves
// every unit texturing from the incomplete texture 0 and depth writes off.
void scrambleForDrawing() {
    scrambleRenderState();
    scrambleArrayState();
    for (int unit = 0; unit < Context::kTextureUnits; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glDisable(GL_TEXTURE_2D);
    }
    glDepthMask(GL_TRUE);
    prepareDrawing(64, 48);
}

class CompilerTest : public GlFixture {
protected:
    int commandCount() const { return mCompiler.getAssembler().getCommands().getCount(); }
    void run() { ASSERT_TRUE(mCompiler.finish()->draw()); }

    Compiler mCompiler;
};

TEST_F(CompilerTest, ProgramOfPrologueAndEpilogueRunsAndChangesNothing) {
    scrambleRenderState();
    scrambleArrayState();
    const std::string render = captureRenderState();
    const std::string arrays = captureArrayState();
    const auto stream = mCompiler.finish();
    EXPECT_TRUE(stream->getResources().isEmpty());
    ASSERT_TRUE(stream->draw());
    EXPECT_EQ(captureRenderState(), render);
    EXPECT_EQ(captureArrayState(), arrays);
}

TEST_F(CompilerTest, SettingWhatIsInForceAppendsNothing) {
    const auto appearance = appearanceOf(1.0f);
    const auto texture = Texture2D::create(graphics::PIXEL_RGB8, 2, 2, 1);
    VertexFormat format;
    format.add(TypeWord::kFloat3, VertexFormat::kPositionArray);
    format.add(TypeWord::kFloat3, VertexFormat::kNormalArray);
    const auto both = VertexBuffer::create(format, 4, VertexBuffer::kStatic);
    const auto positions = makePositions(columnCorners());
    auto setStates = [&] {
        mCompiler.setShader(appearance->getShader());
        mCompiler.setMaterial(appearance->getMaterial());
        mCompiler.setPolygonMode(appearance->getPolygonMode());
        EXPECT_TRUE(mCompiler.setTexture(3, texture.get()));
        EXPECT_TRUE(mCompiler.setVertexBuffer(both.get(),
                                              VertexFormat::kPositionArray | VertexFormat::kTextureArray));
    };
    setStates();
    const int once = commandCount();
    EXPECT_EQ(mCompiler.getResources().getCount(), 5);
    EXPECT_EQ(mCompiler.getVertexBuffer(12), nullptr) << "the buffer feeds no texture coordinates";
    setStates();
    EXPECT_FALSE(mCompiler.setTexture(Compiler::kTextureUnits, texture.get()));
    EXPECT_FALSE(mCompiler.setTexture(3, nullptr));
    EXPECT_FALSE(mCompiler.setIndexBuffer(nullptr));
    EXPECT_FALSE(mCompiler.setVertexBuffer(nullptr, ~0u));
    EXPECT_EQ(commandCount(), once);
    EXPECT_EQ(mCompiler.getResources().getCount(), 5);

    // Only the components whose buffer changes are bound again.
    EXPECT_TRUE(
        mCompiler.setVertexBuffer(both.get(), VertexFormat::kPositionArray | VertexFormat::kNormalArray));
    EXPECT_TRUE(mCompiler.setVertexBuffer(positions.get(),
                                          VertexFormat::kPositionArray | VertexFormat::kNormalArray));
    EXPECT_EQ(mCompiler.getVertexBuffer(2), both.get()) << "the other buffer still feeds normals";
    scrambleArrayState();
    run();
    EXPECT_EQ(mContext->getBoundTexture(3), texture.get());
    EXPECT_EQ(mContext->getCurrentPolygonMode(), appearance->getPolygonMode());
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_BUFFER_BINDING), static_cast<GLint>(positions->getBufferName()));
    EXPECT_EQ(integer(GL_NORMAL_ARRAY_BUFFER_BINDING), static_cast<GLint>(both->getBufferName()));
    EXPECT_EQ(integer(GL_NORMAL_ARRAY_STRIDE), 24);
}

TEST_F(CompilerTest, ShaderChangesDisableTheOneBeforeAndClearingLeavesNone) {
    std::string log;
    const auto logging = make<LoggingShader>(log);
    const auto lit = make<PlainShader>(VertexFormat::kPositionArray, FixedShader::kLighting);
    const auto unlit = make<PlainShader>(VertexFormat::kPositionArray);
    const auto blend = make<BlendMode>();
    const int empty = commandCount();
    mCompiler.setShader(nullptr);
    mCompiler.setBlendMode(nullptr);
    EXPECT_EQ(commandCount(), empty) << "nothing to clear yet";

    // The shader current when the program starts is disabled, and so is a
    // lit shader before an unlit one of its own class.
    logging->bind();
    mCompiler.setShader(lit.get());
    mCompiler.setShader(unlit.get());
    mCompiler.setBlendMode(blend.get());
    run();
    EXPECT_EQ(log, "-");
    EXPECT_FALSE(isEnabled(GL_LIGHTING));
    EXPECT_EQ(mContext->getCurrentShader(), unlit.get());

    mCompiler.setShader(logging.get());
    mCompiler.setBlendMode(blend.get());
    mCompiler.setShader(nullptr);
    mCompiler.setBlendMode(nullptr);
    EXPECT_EQ(mCompiler.getShader(), nullptr);
    run();
    EXPECT_EQ(log, "--");
    EXPECT_EQ(mContext->getCurrentShader(), nullptr);
    EXPECT_EQ(mContext->getCurrentBlendMode(), nullptr);
    EXPECT_EQ(mContext->getEnabledArrays(), VertexFormat::kPositionArray) << "the arrays stay enabled";
}

TEST_F(CompilerTest, CompiledJobsDrawLikeTheirMeshes) {
    for (std::uint32_t usage : {VertexBuffer::kStatic, VertexBuffer::kSystemMemory}) {
        SCOPED_TRACE(usage);
        const auto indexed = make<IndexMesh>();
        indexed->setVertexBuffer(makePositions(columnCorners(), usage).get(), 0);
        indexed->setIndexBuffer(makeIndices(2, columnIndices(), usage).get());
        indexed->setAppearance(appearanceOf(1.0f).get());
        indexed->setRange(6, 12);
        // The same buffers and appearance, another range: only a draw to add.
        const auto again = make<IndexMesh>();
        again->setVertexBuffer(indexed->getVertexBuffer(0), 0);
        again->setIndexBuffer(indexed->getIndexBuffer());
        again->setAppearance(indexed->getAppearance());
        again->setRange(0, 6);
        const auto plain = make<VertexMesh>();
        plain->setVertexBuffer(makePositions(columnTriangles(), usage).get(), 1);
        plain->setAppearance(appearanceOf(0.75f).get());
        plain->setRange(18, 24);
        VertexMesh* meshes[] = {indexed.get(), again.get(), plain.get()};

        scrambleForDrawing();
        for (VertexMesh* mesh : meshes) {
            ASSERT_TRUE(mesh->draw());
        }
        EXPECT_EQ(litColumns(), "1101");
        const std::string render = captureRenderState();
        const std::string arrays = captureArrayState();

        for (const VertexMesh* mesh : meshes) {
            const int before = commandCount();
            compileLikeAJob(mCompiler, *mesh);
            if (mesh == again.get()) {
                EXPECT_EQ(commandCount() - before, 4) << "only the draw: three arguments and the call";
            }
        }
        scrambleForDrawing();
        run();
        EXPECT_EQ(litColumns(), "1101");
        EXPECT_EQ(captureRenderState(), render);
        EXPECT_EQ(captureArrayState(), arrays);
    }
}

TEST_F(CompilerTest, DrawsAreRefusedUnlessEverythingTheyReadIsInForce) {
    const auto shader = make<PlainShader>(VertexFormat::kPositionArray | VertexFormat::kNormalArray);
    const auto positions = makePositions(columnTriangles());  // 24 vertices
    const auto normals =
        makeVertices(TypeWord::kFloat3, VertexFormat::kNormalArray, std::vector<float>(3 * 12));
    const auto indices = makeIndices(1, {0, 1, 2, 3});
    EXPECT_FALSE(mCompiler.drawArrays(GL_TRIANGLES, 0, 3)) << "no shader";
    mCompiler.setShader(shader.get());
    mCompiler.setVertexBuffer(positions.get(), VertexFormat::kPositionArray);
    EXPECT_FALSE(mCompiler.drawArrays(GL_TRIANGLES, 0, 3)) << "nothing feeds the normals";
    mCompiler.setVertexBuffer(normals.get(), VertexFormat::kNormalArray);
    const int ready = commandCount();
    EXPECT_FALSE(mCompiler.drawArrays(GL_TRIANGLES, 10, 3)) << "beyond the twelve normals";
    EXPECT_FALSE(mCompiler.drawArrays(GL_TRIANGLES, 0xFFFFFFFFu, 2)) << "a range that wraps";
    EXPECT_FALSE(mCompiler.drawElements(GL_TRIANGLES, 0, 3)) << "no index buffer";
    ASSERT_TRUE(mCompiler.setIndexBuffer(indices.get()));
    const int indexed = commandCount();
    EXPECT_FALSE(mCompiler.drawElements(GL_TRIANGLES, 2, 3));
    EXPECT_FALSE(mCompiler.drawElements(GL_TRIANGLES, 0xFFFFFFFFu, 2));
    EXPECT_EQ(commandCount(), indexed);
    EXPECT_GT(indexed, ready);
    EXPECT_TRUE(mCompiler.drawArrays(GL_TRIANGLES, 9, 3));
    EXPECT_TRUE(mCompiler.drawElements(GL_TRIANGLES, 1, 3));
}

TEST_F(CompilerTest, StreamKeepsEveryResourceAliveAndCompilerStartsOver) {
    std::string log;
    auto* shader = new LoggingShader(log);
    mCompiler.setShader(shader);
    shader->release();
    auto stream = mCompiler.finish();
    EXPECT_EQ(mCompiler.getShader(), nullptr);
    EXPECT_TRUE(mCompiler.getResources().isEmpty());
    ASSERT_TRUE(stream->draw());
    EXPECT_EQ(mContext->getCurrentShader(), shader);
    stream.reset();
    EXPECT_EQ(log, "x") << "dies once, with the stream";
    EXPECT_EQ(mContext->getCurrentShader(), nullptr) << "a dying shader leaves the record";

    // The next program starts from an empty shadow with its own prologue.
    const auto blend = make<BlendMode>();
    mCompiler.setBlendMode(blend.get());
    run();
    EXPECT_EQ(mContext->getCurrentBlendMode(), blend.get());
}

}  // namespace
}  // namespace nevrik::graphics3d

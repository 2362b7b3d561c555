#include "nevrik/graphics3d/core/Shader.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/RenderState.h"

#include <string>

namespace nevrik::graphics3d {
namespace {

// A shader without inline forms that logs its enables and disables.
class LoggingShader : public Shader {
public:
    LoggingShader(std::uint32_t mask, char name, std::string& log) : Shader(mask), mName(name), mLog(log) {}
    void enable() const override { mLog += std::string("+") + mName; }
    void disable() const override { mLog += std::string("-") + mName; }

private:
    char mName;
    std::string& mLog;
};

using ShaderTest = GlFixture;

TEST_F(ShaderTest, BindDisablesThePreviousShaderAndEnablesThisOne) {
    std::string log;
    LoggingShader first(VertexFormat::kPositionArray, 'a', log);
    LoggingShader second(VertexFormat::kNormalArray, 'b', log);
    ASSERT_TRUE(first.bind());
    ASSERT_TRUE(second.bind());
    EXPECT_EQ(log, "+a-a+b");
    EXPECT_EQ(mContext->getCurrentShader(), &second);
    EXPECT_EQ(mContext->getEnabledArrays(), VertexFormat::kNormalArray);
    Shader::unbind();
    EXPECT_EQ(log, "+a-a+b-b");
}

TEST_F(ShaderTest, CompiledBindDoesWhatBindDoesWithWhicheverShaderIsCurrentWhenItRuns) {
    std::string log;
    LoggingShader first(VertexFormat::kPositionArray | VertexFormat::kColourArray, 'a', log);
    LoggingShader second(VertexFormat::kPositionArray | (VertexFormat::kTextureArray << 1), 'b', log);
    ASSERT_TRUE(first.bind());
    runCompiled([&](system::Assembler& body) { second.compileBind(body); });
    EXPECT_EQ(log, "+a-a+b");
    EXPECT_EQ(mContext->getCurrentShader(), &second);
    EXPECT_EQ(mContext->getEnabledArrays(), second.getArrayMask());
    EXPECT_FALSE(isEnabled(GL_COLOR_ARRAY));
    glClientActiveTexture(GL_TEXTURE1);
    EXPECT_TRUE(isEnabled(GL_TEXTURE_COORD_ARRAY));

    Shader::unbind();
    log.clear();
    runCompiled([&](system::Assembler& body) { second.compileBind(body); });
    EXPECT_EQ(log, "+b") << "nothing was current to disable";
}

TEST_F(ShaderTest, CompiledUnbindEmptiesTheRecordAndDisables) {
    std::string log;
    LoggingShader shader(VertexFormat::kPositionArray, 's', log);
    shader.bind();
    runCompiled([&](system::Assembler& body) { shader.compileUnbind(body); });
    EXPECT_EQ(log, "+s-s");
    EXPECT_EQ(mContext->getCurrentShader(), nullptr);
    EXPECT_EQ(mContext->getEnabledArrays(), VertexFormat::kPositionArray) << "the arrays stay as they are";
}

}  // namespace
}  // namespace nevrik::graphics3d

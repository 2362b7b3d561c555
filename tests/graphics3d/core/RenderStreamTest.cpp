#include "nevrik/graphics3d/core/RenderStream.h"

#include "nevrik/system/Assembler.h"

#include <gtest/gtest.h>

#include <string>

namespace nevrik::graphics3d {
namespace {

std::string sLog;

struct LoggedResource : Resource {
    ~LoggedResource() override { sLog += getName().c_str(); }
};

struct LoggedProgram : system::Program {
    ~LoggedProgram() override { sLog += "program "; }
};

void ran() {
    sLog += "ran ";
}

TEST(RenderStreamTest, DrawRunsItsProgramAndDeathDropsTheProgramFirst) {
    sLog.clear();
    auto* stream = new RenderStream();
    EXPECT_FALSE(stream->draw()) << "no program yet";
    system::Assembler assembler;
    assembler.callC(ran);
    auto program = assembler.assemble();
    stream->setProgram(program.get());
    EXPECT_TRUE(stream->draw());
    EXPECT_EQ(sLog, "ran ");

    stream->setProgram(new LoggedProgram());
    stream->getProgram()->release();
    EXPECT_FALSE(stream->draw()) << "a program without code";
    EXPECT_EQ(program->getReferenceCount(), 1);
    for (const char* name : {"buffer ", "texture "}) {
        auto* resource = new LoggedResource();
        resource->setName(name);
        EXPECT_TRUE(stream->addResource(resource));
        resource->release();
    }
    EXPECT_FALSE(stream->addResource(nullptr));
    sLog.clear();
    stream->release();
    EXPECT_EQ(sLog, "program buffer texture ");
}

}  // namespace
}  // namespace nevrik::graphics3d

#include "nevrik/graphics3d/RenderStream.h"

#include "nevrik/system/Assembler.h"

#include <gtest/gtest.h>

#include <string>

namespace nevrik::graphics3d {
namespace {

std::string sLog;

void ran() {
    sLog += "ran ";
}

// Logs its death, so that the order of releases shows.
class Logged : public Resource {
public:
    explicit Logged(const char* name) : mName(name) {}
    ~Logged() override { sLog += mName + " died "; }

private:
    std::string mName;
};

class LoggedProgram : public system::Program {
public:
    ~LoggedProgram() override { sLog += "program died "; }
};

TEST(RenderStreamTest, DrawRunsTheProgramOnce) {
    sLog.clear();
    auto stream = object::Pointer<RenderStream>::adopt(new RenderStream());
    EXPECT_FALSE(stream->draw()) << "no program yet";
    system::Assembler assembler;
    assembler.callC(ran);
    auto program = object::Pointer<system::Program>::adopt(assembler.assemble());
    stream->setProgram(program.get());
    EXPECT_EQ(program->getReferenceCount(), 2);
    EXPECT_TRUE(stream->draw());
    EXPECT_TRUE(stream->draw());
    EXPECT_EQ(sLog, "ran ran ");

    // An empty program refuses to run.
    stream->setProgram(object::Pointer<system::Program>::adopt(system::Assembler().assemble()).get());
    EXPECT_FALSE(stream->draw());
    EXPECT_EQ(program->getReferenceCount(), 1);
}

TEST(RenderStreamTest, DyingStreamDropsItsProgramBeforeItsResources) {
    sLog.clear();
    auto* stream = new RenderStream();
    auto* program = new LoggedProgram();
    stream->setProgram(program);
    program->release();
    for (const char* name : {"buffer", "texture"}) {
        auto* resource = new Logged(name);
        EXPECT_TRUE(stream->addResource(resource));
        resource->release();
    }
    EXPECT_FALSE(stream->addResource(nullptr));
    EXPECT_EQ(stream->getResources().getCount(), 2);
    EXPECT_EQ(sLog, "");
    stream->release();
    EXPECT_EQ(sLog, "program died buffer died texture died ");
}

}  // namespace
}  // namespace nevrik::graphics3d

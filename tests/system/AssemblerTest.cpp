#include "nevrik/system/Assembler.h"

#include "nevrik/object/Exception.h"
#include "nevrik/object/Pointer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace nevrik::system {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Assembler::Function kFunction(std::uint64_t{0x12345678});
// The bytes of kFunction's address as an imm32.
#define NEVRIK_FUNCTION 0x78, 0x56, 0x34, 0x12

// Around a call on an odd stack: sub rsp, 8 ... add rsp, 8.
#define NEVRIK_PAD 0x48, 0x83, 0xEC, 0x08
#define NEVRIK_UNPAD 0x48, 0x83, 0xC4, 0x08

std::vector<Command> commandsOf(const Assembler& assembler) {
    return std::vector<Command>(assembler.getCommands().begin(), assembler.getCommands().end());
}

Bytes nativeCode(const Assembler& assembler) {
    auto program = object::Pointer<Program>::adopt(assembler.assemble(Program::Backend::Native));
    return Bytes(program->getCode().begin(), program->getCode().end());
}

TEST(AssemblerTest, BuildersAppendArgumentsInOrderThenTheCall) {
    Assembler assembler;
    const int object = 0;
    assembler.callStd(kFunction, 2896);
    assembler.callStd(kFunction, 1, 2);
    assembler.callC(kFunction, 1, 2, 3);
    assembler.callC(kFunction);
    assembler.callMember(kFunction, &object, 9);
    assembler.ret();
    assembler.push(Command::kEsi);
    assembler.pop(Command::kEsi);
    assembler.move(Command::kEsi, Command::kEax);
    assembler.load(Command::kEdx, 77);
    assembler.store(Command::kEsi, 16, Command::kEdx);
    assembler.store(Command::kEsi, -4, Command::kEdx, Command::k32Bit);
    EXPECT_EQ(assembler.label("here"), 0);
    const std::uint64_t f = kFunction.getAddress();
    const std::vector<Command> expected{
        {Command::kArgument, 2896},
        {Command::kCallStd, f},
        {Command::kArgument, 1},
        {Command::kArgument, 2},
        {Command::kCallStd, f},
        {Command::kArgument, 1},
        {Command::kArgument, 2},
        {Command::kArgument, 3},
        {Command::kCallC, f},
        {Command::kCallC, f},
        {Command::kObject, reinterpret_cast<std::uintptr_t>(&object)},
        {Command::kArgument, 9},
        {Command::kCallMember, f},
        {Command::kReturn, 0},
        {Command::kPush, Command::kEsi},
        {Command::kPop, Command::kEsi},
        {Command::kMove, Command::kEsi, Command::kEax},
        {Command::kLoadImmediate, Command::kEdx, 77},
        {Command::kStoreDisplaced, Command::kEsi, 16, Command::kEdx},
        {Command::kStoreDisplaced, Command::kEsi, static_cast<std::uint64_t>(-4), Command::kEdx,
         Command::k32Bit},
        {Command::kLabel, 0},
    };
    EXPECT_EQ(commandsOf(assembler), expected);
    EXPECT_EQ(assembler.getNames()[0], "here");
    EXPECT_EQ(assembler.className(), "Object:Assembler");
}

TEST(AssemblerTest, ArgumentsTakeTheirClassAndBitsFromTheirType) {
    Assembler assembler;
    const char text[] = "x";
    assembler.callStd(kFunction, -1, 0xFFFFFFFFu);
    assembler.callStd(kFunction, 0.5f, -2.0);
    assembler.callStd(kFunction, text, nullptr);
    const std::vector<Command> commands = commandsOf(assembler);
    EXPECT_EQ(commands[0], Command(Command::kArgument, ~std::uint64_t{0}, Command::kInteger));
    EXPECT_EQ(commands[1], Command(Command::kArgument, 0xFFFFFFFFu, Command::kInteger));
    EXPECT_EQ(commands[3], Command(Command::kArgument, 0x3F000000u, Command::kFloat));
    EXPECT_EQ(commands[4], Command(Command::kArgument, 0xC000000000000000u, Command::kDouble));
    EXPECT_EQ(commands[6], Command(Command::kArgument, reinterpret_cast<std::uintptr_t>(text)));
    EXPECT_EQ(commands[7], Command(Command::kArgument, 0));
}

TEST(AssemblerTest, ClearEmptiesAndTrimShrinksToTheCounts) {
    Assembler assembler;
    for (int i = 0; i < 9; ++i) {
        assembler.callStd(kFunction, i);
        assembler.label("l");
    }
    assembler.trim();
    EXPECT_EQ(assembler.getCommands().getCapacity(), 27);
    EXPECT_EQ(assembler.getNames().getCapacity(), 9);
    assembler.clear();
    EXPECT_TRUE(assembler.getCommands().isEmpty());
    EXPECT_TRUE(assembler.getNames().isEmpty());
    assembler.trim();
    EXPECT_EQ(assembler.getCommands().getCapacity(), 0);
    // A reused assembler starts its names from index 0 again.
    EXPECT_EQ(assembler.label("again"), 0);
}

TEST(AssemblerTest, UnsafeListsAreRefusedWithTheReason) {
    struct Case {
        std::vector<Command> commands;
        int names;
        const char* message;
    };
    const std::vector<Command> sixArguments{{4, 1}, {4, 2}, {4, 3}, {4, 4}, {4, 5}, {4, 6}, {1, 0}};
    const std::vector<Case> cases{
        {{{Command::kPush, 8}}, 0, "register out of range at command 0"},
        {{{Command::kStoreDisplaced, 1, 0, 9}}, 0, "register out of range at command 0"},
        {{{Command::kMove, Command::kEbp, Command::kEsp}},
         0,
         "the stack pointer is not an operand at command 0"},
        {sixArguments, 0, "more than five pending arguments at command 5"},
        {{{Command::kArgument, 1, 3}}, 0, "unknown argument class at command 0"},
        {{{Command::kLoadIndirect, 0, 1, 0, static_cast<Command::Width>(2)}},
         0,
         "unknown width at command 0"},
        {{{Command::kLoadDisplaced, 0, 1, 0x80000000u}}, 0, "displacement out of range at command 0"},
        {{{Command::kStoreDisplaced, 0, 0xFFFFFFFF7FFFFFFFu, 1}},
         0,
         "displacement out of range at command 0"},
        {{{Command::kPush, 6}, {Command::kPop, 6}, {Command::kPop, 6}}, 0, "pop without a push at command 2"},
        {{{Command::kPush, 6}, {Command::kReturn, 0}}, 0, "return with pushes outstanding at command 1"},
        {{{Command::kPush, 6}, {Command::kCallC, 0}}, 0, "pushes outstanding at the end"},
        {{{Command::kLabel, 1}}, 1, "label name index out of range at command 1"},
    };
    for (const Case& c : cases) {
        Assembler assembler;
        for (int i = 0; i < c.names; ++i) {
            assembler.label("n");
        }
        for (const Command& command : c.commands) {
            assembler.append(command);
        }
        for (Program::Backend backend : {Program::Backend::Interpreter, Program::getHostBackend()}) {
            try {
                object::Pointer<Program>::adopt(assembler.assemble(backend));
                ADD_FAILURE() << "accepted, expected: " << c.message;
            } catch (const object::Exception& exception) {
                EXPECT_EQ(std::string(exception.getMessage().c_str()),
                          std::string("Assembler::assemble: ") + c.message);
            }
        }
    }
}

TEST(AssemblerTest, PendingArgumentsEmptyAtEachCallAndHigherOpcodesAreNotChecked) {
    Assembler assembler;
    for (std::uint32_t opcode : {Command::kCallMember, Command::kCallStd, Command::kCallC}) {
        for (int i = 0; i < Command::kMaxArguments; ++i) {
            assembler.append(Command(Command::kArgument, static_cast<std::uint64_t>(i)));
        }
        assembler.append(Command(opcode, kFunction.getAddress()));
    }
    assembler.append(Command(17, 99, 99, 99));
    EXPECT_NO_THROW(object::Pointer<Program>::adopt(assembler.assemble()));
}

TEST(AssemblerTest, InterpretedCodeHoldsTheCommandsAndAClosingReturn) {
    Assembler assembler;
    assembler.callStd(kFunction, 1);
    assembler.label("end");
    auto program = object::Pointer<Program>::adopt(assembler.assemble(Program::Backend::Interpreter));
    EXPECT_EQ(program->getCode().getCount(), static_cast<int>(3 * sizeof(Command)));
    EXPECT_EQ(program->getCode().getCapacity(), program->getCode().getCount());
    EXPECT_EQ(program->className(), "Object:Program");
}

#if defined(__x86_64__)
TEST(AssemblerTest, NativeCallsLoadArgumentRegistersAndKeepTheStackAligned) {
    Assembler stdCall;
    stdCall.callStd(kFunction, 2896);
    EXPECT_EQ(nativeCode(stdCall), (Bytes{NEVRIK_PAD, 0xBF, 0x50, 0x0B, 0x00, 0x00, 0xB8, NEVRIK_FUNCTION,
                                          0xFF, 0xD0, NEVRIK_UNPAD, 0xC3}));

    Assembler cCall;
    cCall.callC(kFunction, 1, 2, 3);
    EXPECT_EQ(nativeCode(cCall), (Bytes{NEVRIK_PAD, 0xBF, 1,
                                        0,          0,    0,
                                        0xBE,       2,    0,
                                        0,          0,    0xBA,
                                        3,          0,    0,
                                        0,          0xB8, NEVRIK_FUNCTION,
                                        0xFF,       0xD0, NEVRIK_UNPAD,
                                        0xC3}));

    // One push leaves the stack aligned: no padding, and nothing to clean up.
    Assembler bare;
    bare.push(Command::kEcx);
    bare.callC(kFunction);
    bare.pop(Command::kEcx);
    bare.ret();
    EXPECT_EQ(nativeCode(bare), (Bytes{0x51, 0xB8, NEVRIK_FUNCTION, 0xFF, 0xD0, 0x59, 0xC3}));

    // Three calls with nothing pushed: the entry sequence aligns the stack once for all.
    Assembler member;
    member.callMember(kFunction, reinterpret_cast<const void*>(0x1000), 7);
    member.callStd(kFunction, 0.5f, 1.0);
    member.callStd(kFunction, std::uint64_t{0x123456789}, -2);
    EXPECT_EQ(
        nativeCode(member),
        (Bytes{NEVRIK_PAD, 0xBF, 0x00, 0x10, 0x00, 0x00, 0xBE, 7, 0, 0, 0, 0xB8, NEVRIK_FUNCTION, 0xFF, 0xD0,
               // mov r11d, 0.5f; movd xmm0, r11d; mov r11, 1.0; movq xmm1, r11
               0x41, 0xBB, 0x00, 0x00, 0x00, 0x3F, 0x66, 0x41, 0x0F, 0x6E, 0xC3, 0x49, 0xBB, 0, 0, 0, 0, 0, 0,
               0xF0, 0x3F, 0x66, 0x49, 0x0F, 0x6E, 0xCB, 0xB8, NEVRIK_FUNCTION, 0xFF, 0xD0,
               // movabs rdi, imm64; mov rsi, -2 (sign-extended)
               0x48, 0xBF, 0x89, 0x67, 0x45, 0x23, 0x01, 0, 0, 0, 0x48, 0xC7, 0xC6, 0xFE, 0xFF, 0xFF, 0xFF,
               0xB8, NEVRIK_FUNCTION, 0xFF, 0xD0, NEVRIK_UNPAD, 0xC3}));

    // The minority of calls, made under the other parity, are padded one by one.
    Assembler mixed;
    mixed.callC(kFunction);
    mixed.push(Command::kEcx);
    mixed.callC(kFunction);
    mixed.callC(kFunction);
    mixed.pop(Command::kEcx);
    mixed.ret();
    EXPECT_EQ(nativeCode(mixed),
              (Bytes{NEVRIK_PAD, 0xB8, NEVRIK_FUNCTION, 0xFF, 0xD0, NEVRIK_UNPAD, 0x51, 0xB8, NEVRIK_FUNCTION,
                     0xFF, 0xD0, 0xB8, NEVRIK_FUNCTION, 0xFF, 0xD0, 0x59, 0xC3}));
}

TEST(AssemblerTest, NativeRegisterStepsAndTheSavingOfKeptRegisters) {
    // ESI is rbx: written, so saved on entry and restored at the return.
    Assembler move;
    move.move(Command::kEsi, Command::kEax);
    move.ret();
    EXPECT_EQ(nativeCode(move), (Bytes{0x53, 0x48, 0x89, 0xC3, 0x5B, 0xC3}));

    Assembler store;
    store.store(Command::kEsi, 16, Command::kEax);
    store.store(Command::kEsi, 16, Command::kEdx, Command::k32Bit);
    store.store(Command::kEsi, 0x1000, Command::kEax);
    store.ret();
    EXPECT_EQ(nativeCode(store), (Bytes{0x48, 0x89, 0x43, 0x10, 0x89, 0x53, 0x10, 0x48, 0x89, 0x83, 0x00,
                                        0x10, 0x00, 0x00, 0xC3}));

    Assembler pushPop;
    pushPop.push(Command::kEsi);
    pushPop.pop(Command::kEsi);
    pushPop.push(Command::kEbx);
    pushPop.pop(Command::kEcx);
    pushPop.ret();
    // Of the registers written (ESI, ECX) only ESI is kept across calls, so
    // only rbx is saved. EBX is r12.
    EXPECT_EQ(nativeCode(pushPop), (Bytes{0x53, 0x53, 0x5B, 0x41, 0x54, 0x59, 0x5B, 0xC3}));
}
#endif

}  // namespace
}  // namespace nevrik::system

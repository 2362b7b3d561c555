#include "nevrik/system/Assembler.h"

#include "nevrik/object/Exception.h"
#include "nevrik/object/Pointer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
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
    auto program = assembler.assemble(Program::Backend::Native);
    return Bytes(program->getCode().begin(), program->getCode().end());
}

TEST(AssemblerTest, BuildersAppendArgumentsInOrderThenTheCall) {
    Assembler assembler;
    const char text[] = "x";
    assembler.callStd(kFunction, -1, 0xFFFFFFFFu);
    assembler.callC(kFunction, 0.5f, -2.0, text);
    assembler.callC(kFunction);
    const std::uint64_t f = kFunction.getAddress();
    // Integers widen by their own signedness; floats and doubles keep their class.
    const std::vector<Command> expected{
        {Command::kArgument, ~std::uint64_t{0}},
        {Command::kArgument, 0xFFFFFFFFu},
        {Command::kCallStd, f},
        {Command::kArgument, 0x3F000000u, Command::kFloat},
        {Command::kArgument, 0xC000000000000000u, Command::kDouble},
        {Command::kArgument, reinterpret_cast<std::uintptr_t>(text)},
        {Command::kCallC, f},
        {Command::kCallC, f},
    };
    EXPECT_EQ(commandsOf(assembler), expected);
    EXPECT_EQ(assembler.className(), "Object:Assembler");
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
    // A reused assembler numbers its names from 0 again.
    EXPECT_EQ(assembler.label("again"), 0);
    EXPECT_EQ(assembler.getCommands()[0], Command(Command::kLabel, 0));
}

TEST(AssemblerTest, UnsafeListsAreRefusedWithTheReason) {
    const std::vector<std::pair<std::vector<Command>, const char*>> cases{
        {{{Command::kPush, 8}}, "register out of range at command 0"},
        {{{Command::kStoreDisplaced, 1, 0, 9}}, "register out of range at command 0"},
        {{{Command::kMove, Command::kEbp, Command::kEsp}},
         "the stack pointer is not an operand at command 0"},
        {{{4, 1}, {4, 2}, {4, 3}, {4, 4}, {4, 5}, {4, 6}, {1, 0}},
         "more than five pending arguments at command 5"},
        {{{Command::kArgument, 1, 3}}, "unknown argument class at command 0"},
        {{{Command::kLoadIndirect, 0, 1, 0, static_cast<Command::Width>(2)}}, "unknown width at command 0"},
        {{{Command::kLoadDisplaced, 0, 1, 0x80000000u}}, "displacement out of range at command 0"},
        {{{Command::kStoreDisplaced, 0, 0xFFFFFFFF7FFFFFFFu, 1}}, "displacement out of range at command 0"},
        {{{Command::kPush, 6}, {Command::kPop, 6}, {Command::kPop, 6}}, "pop without a push at command 2"},
        {{{Command::kPush, 6}, {Command::kReturn, 0}}, "return with pushes outstanding at command 1"},
        {{{Command::kPush, 6}, {Command::kCallC, 0}}, "pushes outstanding at the end"},
        {{{Command::kLabel, 0}}, "label name index out of range at command 0"},
    };
    for (const auto& [commands, message] : cases) {
        Assembler assembler;
        for (const Command& command : commands) {
            assembler.append(command);
        }
        for (Program::Backend backend : {Program::Backend::Interpreter, Program::getHostBackend()}) {
            try {
                assembler.assemble(backend);
                ADD_FAILURE() << "accepted, expected: " << message;
            } catch (const object::Exception& exception) {
                EXPECT_EQ(std::string(exception.getMessage().c_str()),
                          std::string("Assembler::assemble: ") + message);
            }
        }
    }
}

#if defined(__x86_64__)
TEST(AssemblerTest, NativeCallsLoadArgumentRegistersAndKeepTheStackAligned) {
    Assembler stdCall;
    stdCall.callStd(kFunction, 2896);
    EXPECT_EQ(nativeCode(stdCall), (Bytes{NEVRIK_PAD, 0xBF, 0x50, 0x0B, 0x00, 0x00, 0xB8, NEVRIK_FUNCTION,
                                          0xFF, 0xD0, NEVRIK_UNPAD, 0xC3}));

    Assembler cCall;
    cCall.callC(kFunction, 1, 2, 3);
    EXPECT_EQ(nativeCode(cCall), (Bytes{NEVRIK_PAD,
                                        // mov edi, 1; mov esi, 2; mov edx, 3
                                        0xBF, 1, 0, 0, 0, 0xBE, 2, 0, 0, 0, 0xBA, 3, 0, 0, 0,
                                        // mov eax, function; call rax
                                        0xB8, NEVRIK_FUNCTION, 0xFF, 0xD0, NEVRIK_UNPAD, 0xC3}));

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

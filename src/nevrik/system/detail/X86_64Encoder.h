#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/system/Command.h"

#include <cstdint>

namespace nevrik::system::detail {

/// Writes commands as x86-64 System V machine code.
///
/// Registers map so that the registers a call keeps (EBX, EBP, ESI, EDI) are
/// callee-saved on x86-64 too: EAX rax, ECX rcx, EDX rdx, EBX r12, EBP rbp,
/// ESI rbx, EDI r13. Arguments go, in order, to rdi, rsi, rdx, rcx, r8, r9 or,
/// for floats and doubles, to xmm0 upwards. The callee-saved registers the
/// program writes are saved on entry and restored at each return, so a
/// program cannot corrupt its caller's. rsp is kept 16-byte aligned at every
/// call: the entry sequence aligns it for the pushes most calls are made
/// under, and the other calls pad it. r11 is scratch.
///
/// Expects a checked command list (see Assembler::assemble): registers in
/// range and not kEsp, at most kMaxArguments pending, pops matched by pushes,
/// no pushes outstanding at a return, no labels. Used by one thread at a time.
class X86_64Encoder {
public:
    /// Bit r of `writtenRegisters` is set when the program writes register r.
    /// `oddCallBalance` is the number of calls made with an odd number of
    /// pushes outstanding less the number made with an even number. The
    /// entry sequence goes to `code` at once.
    X86_64Encoder(container::Array<std::uint8_t>& code, std::uint32_t writtenRegisters, int oddCallBalance);

    void encode(const Command& command);

private:
    struct Argument {
        std::uint64_t bits;
        std::uint32_t argumentClass;
    };

    void emit(std::uint8_t byte) { mCode.add(byte); }
    void emit32(std::uint32_t value);
    void emit64(std::uint64_t value);
    void emitRex(bool wide, int reg, int base, bool always = false);
    void emitLoadImmediate(int reg, std::uint64_t value);
    void emitMemory(std::uint8_t opcode, bool wide, int reg, int base, std::int32_t displacement);
    void emitMemoryAbsolute(std::uint8_t opcode, bool wide, int reg, std::uint64_t address);
    void emitPush(int reg);
    void emitPop(int reg);
    void emitStackAdjust(std::uint8_t operation);
    void emitCall(std::uint64_t function, bool withObject);
    void emitReturn();

    container::Array<std::uint8_t>& mCode;
    // Physical registers saved on entry, in push order.
    int mSaved[Command::kRegisterCount] = {};
    int mSavedCount = 0;
    // Whether the entry sequence moved rsp down by one more slot.
    bool mEntryPadded = false;
    // 8-byte slots above the caller's 16-byte aligned stack: the return
    // address, the saved registers, the entry padding and the program's pushes.
    int mSlots = 1;
    Argument mArguments[Command::kMaxArguments] = {};
    int mArgumentCount = 0;
    std::uint64_t mObject = 0;
};

}  // namespace nevrik::system::detail

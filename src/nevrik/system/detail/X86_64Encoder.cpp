#include "nevrik/system/detail/X86_64Encoder.h"

namespace nevrik::system::detail {
namespace {

constexpr int kRax = 0;
constexpr int kR11 = 11;

// Physical registers by logical number; kEsp stays rsp but is never encoded.
constexpr int kPhysical[Command::kRegisterCount] = {0, 1, 2, 12, 4, 5, 3, 13};

// The registers a call keeps, by logical number.
constexpr std::uint32_t kKept[] = {Command::kEbx, Command::kEbp, Command::kEsi, Command::kEdi};

// System V integer argument registers: rdi, rsi, rdx, rcx, r8, r9.
constexpr int kIntegerArguments[] = {7, 6, 2, 1, 8, 9};

constexpr std::uint8_t kSubtractFromRsp = 0xEC;
constexpr std::uint8_t kAddToRsp = 0xC4;

// The physical register behind a register operand.
int physical(std::uint64_t reg) noexcept {
    return kPhysical[reg];
}

bool fitsInt8(std::int64_t value) noexcept {
    return value >= -128 && value <= 127;
}
bool fitsInt32(std::int64_t value) noexcept {
    return value >= INT32_MIN && value <= INT32_MAX;
}

}  // namespace

X86_64Encoder::X86_64Encoder(container::Array<std::uint8_t>& code, std::uint32_t writtenRegisters,
                             int oddCallBalance)
    : mCode(code) {
    for (std::uint32_t reg : kKept) {
        if ((writtenRegisters >> reg & 1) != 0) {
            mSaved[mSavedCount++] = physical(reg);
            emitPush(physical(reg));
        }
    }
    // Calls under an even number of pushes are aligned when the slots so far
    // are even; pad once here rather than around each call of the majority.
    const bool evenSlots = mSlots % 2 == 0;
    if ((oddCallBalance < 0 && !evenSlots) || (oddCallBalance > 0 && evenSlots)) {
        emitStackAdjust(kSubtractFromRsp);
        mEntryPadded = true;
        ++mSlots;
    }
}

void X86_64Encoder::encode(const Command& command) {
    const bool wide = command.width != Command::k32Bit;
    switch (command.opcode) {
        case Command::kCallMember:
            emitCall(command.a, true);
            break;
        case Command::kCallStd:
        case Command::kCallC:
            // One convention on x86-64: nobody pops arguments that were never pushed.
            emitCall(command.a, false);
            break;
        case Command::kReturn:
            emitReturn();
            break;
        case Command::kArgument:
            mArguments[mArgumentCount++] = {command.a, static_cast<std::uint32_t>(command.b)};
            break;
        case Command::kObject:
            mObject = command.a;
            break;
        case Command::kPush:
            emitPush(physical(command.a));
            break;
        case Command::kPop:
            emitPop(physical(command.a));
            break;
        case Command::kMove: {
            const int target = physical(command.a);
            const int source = physical(command.b);
            emitRex(true, source, target);
            emit(0x89);
            emit(static_cast<std::uint8_t>(0xC0 | (source & 7) << 3 | (target & 7)));
            break;
        }
        case Command::kLoadImmediate:
            emitLoadImmediate(physical(command.a), command.b);
            break;
        case Command::kLoadAbsolute:
            emitMemoryAbsolute(0x8B, wide, physical(command.a), command.b);
            break;
        case Command::kLoadIndirect:
        case Command::kLoadDisplaced:
            emitMemory(0x8B, wide, physical(command.a), physical(command.b),
                       command.opcode == Command::kLoadDisplaced ? static_cast<std::int32_t>(command.c) : 0);
            break;
        case Command::kStoreAbsolute:
            emitMemoryAbsolute(0x89, wide, physical(command.b), command.a);
            break;
        case Command::kStoreIndirect:
            emitMemory(0x89, wide, physical(command.b), physical(command.a), 0);
            break;
        case Command::kStoreDisplaced:
            emitMemory(0x89, wide, physical(command.c), physical(command.a),
                       static_cast<std::int32_t>(command.b));
            break;
        default:
            // Labels are placed by the caller; opcodes above them are skipped.
            break;
    }
}

void X86_64Encoder::emit32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        emit(static_cast<std::uint8_t>(value >> shift));
    }
}

void X86_64Encoder::emit64(std::uint64_t value) {
    emit32(static_cast<std::uint32_t>(value));
    emit32(static_cast<std::uint32_t>(value >> 32));
}

void X86_64Encoder::emitRex(bool wide, int reg, int base, bool always) {
    const int rex = 0x40 | (wide ? 8 : 0) | (reg >= 8 ? 4 : 0) | (base >= 8 ? 1 : 0);
    if (rex != 0x40 || always) {
        emit(static_cast<std::uint8_t>(rex));
    }
}

// The shortest form: a 32-bit move zero-extends, C7 sign-extends, B8 with
// REX.W carries all 64 bits.
void X86_64Encoder::emitLoadImmediate(int reg, std::uint64_t value) {
    const auto asSigned = static_cast<std::int64_t>(value);
    if (value <= UINT32_MAX) {
        emitRex(false, 0, reg);
        emit(static_cast<std::uint8_t>(0xB8 + (reg & 7)));
        emit32(static_cast<std::uint32_t>(value));
    } else if (fitsInt32(asSigned)) {
        emitRex(true, 0, reg);
        emit(0xC7);
        emit(static_cast<std::uint8_t>(0xC0 | (reg & 7)));
        emit32(static_cast<std::uint32_t>(value));
    } else {
        emitRex(true, 0, reg);
        emit(static_cast<std::uint8_t>(0xB8 + (reg & 7)));
        emit64(value);
    }
}

// `opcode` with a [base + displacement] operand. rsp and r12 as base need a
// SIB byte; rbp and r13 cannot go without a displacement.
void X86_64Encoder::emitMemory(std::uint8_t opcode, bool wide, int reg, int base, std::int32_t displacement) {
    emitRex(wide, reg, base);
    emit(opcode);
    int mode = 2;
    if (displacement == 0 && (base & 7) != 5) {
        mode = 0;
    } else if (fitsInt8(displacement)) {
        mode = 1;
    }
    emit(static_cast<std::uint8_t>(mode << 6 | (reg & 7) << 3 | (base & 7)));
    if ((base & 7) == 4) {
        emit(0x24);
    }
    if (mode == 1) {
        emit(static_cast<std::uint8_t>(displacement));
    } else if (mode == 2) {
        emit32(static_cast<std::uint32_t>(displacement));
    }
}

void X86_64Encoder::emitMemoryAbsolute(std::uint8_t opcode, bool wide, int reg, std::uint64_t address) {
    emitLoadImmediate(kR11, address);
    emitMemory(opcode, wide, reg, kR11, 0);
}

void X86_64Encoder::emitPush(int reg) {
    emitRex(false, 0, reg);
    emit(static_cast<std::uint8_t>(0x50 + (reg & 7)));
    ++mSlots;
}

void X86_64Encoder::emitPop(int reg) {
    emitRex(false, 0, reg);
    emit(static_cast<std::uint8_t>(0x58 + (reg & 7)));
    --mSlots;
}

void X86_64Encoder::emitStackAdjust(std::uint8_t operation) {
    emit(0x48);
    emit(0x83);
    emit(operation);
    emit(8);
}

void X86_64Encoder::emitCall(std::uint64_t function, bool withObject) {
    // An odd number of slots leaves rsp 8 bytes off the 16 a call needs.
    const bool pad = mSlots % 2 != 0;
    if (pad) {
        emitStackAdjust(kSubtractFromRsp);
    }
    int integers = 0;
    int floats = 0;
    if (withObject) {
        emitLoadImmediate(kIntegerArguments[integers++], mObject);
    }
    for (int i = 0; i < mArgumentCount; ++i) {
        const Argument& argument = mArguments[i];
        if (argument.argumentClass == Command::kInteger) {
            emitLoadImmediate(kIntegerArguments[integers++], argument.bits);
            continue;
        }
        // Through r11: movd xmm, r11d for a float, movq xmm, r11 for a double.
        const bool isDouble = argument.argumentClass == Command::kDouble;
        emitLoadImmediate(kR11, isDouble ? argument.bits : argument.bits & UINT32_MAX);
        emit(0x66);
        emitRex(isDouble, floats, kR11);
        emit(0x0F);
        emit(0x6E);
        emit(static_cast<std::uint8_t>(0xC0 | floats << 3 | (kR11 & 7)));
        ++floats;
    }
    mArgumentCount = 0;
    emitLoadImmediate(kRax, function);
    emit(0xFF);
    emit(0xD0);
    if (pad) {
        emitStackAdjust(kAddToRsp);
    }
}

void X86_64Encoder::emitReturn() {
    // Code after a return is encoded as if the registers were still saved.
    const int slots = mSlots;
    if (mEntryPadded) {
        emitStackAdjust(kAddToRsp);
    }
    for (int i = mSavedCount - 1; i >= 0; --i) {
        emitPop(mSaved[i]);
    }
    mSlots = slots;
    emit(0xC3);
}

}  // namespace nevrik::system::detail

#include "nevrik/system/Assembler.h"

#include "nevrik/object/Exception.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/system/detail/Interpreter.h"
#include "nevrik/system/detail/X86_64Encoder.h"

#include <cstring>
#include <optional>
#include <string>

namespace nevrik::system {
namespace {

// What assembling needs to know about a list beyond its commands.
struct Summary {
    bool hasCode = false;
    bool endsWithReturn = false;
    // Bit r set when register r is written.
    std::uint32_t written = 0;
    // Calls made with an odd number of pushes outstanding less those with an even number.
    int oddCallBalance = 0;
};

[[noreturn]] void refuse(const char* problem, int index) {
    const std::string where = index < 0 ? std::string(" at the end") : " at command " + std::to_string(index);
    throw object::Exception(types::String("Assembler::assemble: ") + problem + where.c_str());
}

void checkRegister(std::uint64_t reg, int index) {
    if (reg >= Command::kRegisterCount) {
        refuse("register out of range", index);
    }
    // The backends own the stack pointer: they pad it around calls.
    if (reg == Command::kEsp) {
        refuse("the stack pointer is not an operand", index);
    }
}

void checkDisplacement(std::uint64_t displacement, int index) {
    const auto value = static_cast<std::int64_t>(displacement);
    if (value < INT32_MIN || value > INT32_MAX) {
        refuse("displacement out of range", index);
    }
}

// The operands that name registers, by opcode: bit 0 a, bit 1 b, bit 2 c.
std::uint32_t registerOperands(std::uint32_t opcode) noexcept {
    switch (opcode) {
        case Command::kPush:
        case Command::kPop:
        case Command::kLoadImmediate:
        case Command::kLoadAbsolute:
            return 1;
        case Command::kMove:
        case Command::kLoadIndirect:
        case Command::kLoadDisplaced:
        case Command::kStoreIndirect:
            return 3;
        case Command::kStoreAbsolute:
            return 2;
        case Command::kStoreDisplaced:
            return 5;
        default:
            return 0;
    }
}

bool isMemoryAccess(std::uint32_t opcode) noexcept {
    return opcode >= Command::kLoadAbsolute && opcode <= Command::kStoreDisplaced;
}

Summary summarise(const container::Array<Command>& commands, int nameCount) {
    Summary summary;
    int pending = 0;
    int depth = 0;
    for (int index = 0; index < commands.getCount(); ++index) {
        const Command& command = commands[index];
        const std::uint32_t opcode = command.opcode;
        if (opcode > Command::kLabel) {
            continue;
        }
        const std::uint32_t operands = registerOperands(opcode);
        const std::uint64_t values[] = {command.a, command.b, command.c};
        for (int operand = 0; operand < 3; ++operand) {
            if ((operands >> operand & 1) != 0) {
                checkRegister(values[operand], index);
            }
        }
        if (isMemoryAccess(opcode) && command.width != Command::kWord && command.width != Command::k32Bit) {
            refuse("unknown width", index);
        }
        // Pop, move and the loads write register a.
        if (opcode >= Command::kPop && opcode <= Command::kLoadDisplaced) {
            summary.written |= 1u << command.a;
        }
        switch (opcode) {
            case Command::kArgument:
                if (++pending > Command::kMaxArguments) {
                    refuse("more than five pending arguments", index);
                }
                if (command.b > Command::kDouble) {
                    refuse("unknown argument class", index);
                }
                break;
            case Command::kCallMember:
            case Command::kCallStd:
            case Command::kCallC:
                pending = 0;
                summary.oddCallBalance += depth % 2 != 0 ? 1 : -1;
                break;
            case Command::kPush:
                ++depth;
                break;
            case Command::kPop:
                if (--depth < 0) {
                    refuse("pop without a push", index);
                }
                break;
            case Command::kReturn:
                if (depth != 0) {
                    refuse("return with pushes outstanding", index);
                }
                break;
            case Command::kLoadDisplaced:
                checkDisplacement(command.c, index);
                break;
            case Command::kStoreDisplaced:
                checkDisplacement(command.b, index);
                break;
            case Command::kLabel:
                if (command.a >= static_cast<std::uint64_t>(nameCount)) {
                    refuse("label name index out of range", index);
                }
                break;
            default:
                break;
        }
        if (opcode != Command::kArgument && opcode != Command::kObject && opcode != Command::kLabel) {
            summary.hasCode = true;
            summary.endsWithReturn = opcode == Command::kReturn;
        }
    }
    if (summary.hasCode && !summary.endsWithReturn && depth != 0) {
        refuse("pushes outstanding", -1);
    }
    return summary;
}

}  // namespace

Assembler::Argument::Argument(float value) noexcept : mClass(Command::kFloat) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    mBits = bits;
}

Assembler::Argument::Argument(double value) noexcept : mClass(Command::kDouble) {
    std::memcpy(&mBits, &value, sizeof mBits);
}

int Assembler::append(const Command& command) {
    mCommands.add(command);
    return mCommands.getCount() - 1;
}

void Assembler::call(std::uint32_t opcode, Function function, std::initializer_list<Argument> arguments) {
    for (const Argument& argument : arguments) {
        append(argument.toCommand());
    }
    append(Command(opcode, function.getAddress()));
}

void Assembler::ret() {
    append(Command(Command::kReturn, 0));
}

void Assembler::push(std::uint32_t reg) {
    append(Command(Command::kPush, reg));
}

void Assembler::pop(std::uint32_t reg) {
    append(Command(Command::kPop, reg));
}

void Assembler::move(std::uint32_t target, std::uint32_t source) {
    append(Command(Command::kMove, target, source));
}

void Assembler::load(std::uint32_t reg, std::uint64_t value) {
    append(Command(Command::kLoadImmediate, reg, value));
}

void Assembler::store(std::uint32_t base, std::int32_t displacement, std::uint32_t source,
                      Command::Width width) {
    // Sign-extended, so that the 64-bit operand adds a negative displacement.
    append(Command(Command::kStoreDisplaced, base, static_cast<std::uint64_t>(std::int64_t{displacement}),
                   source, width));
}

int Assembler::label(const char* name) {
    mNames.add(types::String(name));
    const int index = mNames.getCount() - 1;
    append(Command(Command::kLabel, static_cast<std::uint64_t>(index)));
    return index;
}

void Assembler::clear() noexcept {
    mCommands.clear();
    mNames.clear();
}

void Assembler::trim() {
    container::Array<Command>(mCommands).swap(mCommands);
    container::Array<types::String>(mNames).swap(mNames);
}

object::Pointer<Program> Assembler::assemble(Program::Backend backend) const {
    const bool native = backend == Program::Backend::Native;
    if (native && !Program::hasNativeBackend()) {
        throw object::Exception("Assembler::assemble: no native code for this host");
    }
    const Summary summary = summarise(mCommands, mNames.getCount());
    auto program = object::make<Program>(backend);
    if (summary.hasCode) {
        std::optional<detail::X86_64Encoder> encoder;
        if (native) {
            encoder.emplace(program->mCode, summary.written, summary.oddCallBalance);
        }
        const auto encode = [&](const Command& command) {
            if (encoder) {
                encoder->encode(command);
            } else {
                detail::Interpreter::encode(program->mCode, command);
            }
        };
        for (const Command& command : mCommands) {
            if (command.opcode == Command::kLabel) {
                program->addLabel(mNames[static_cast<int>(command.a)].c_str());
            } else if (command.opcode < Command::kLabel) {
                encode(command);
            }
        }
        if (!summary.endsWithReturn) {
            encode(Command(Command::kReturn, 0));
        }
    }
    program->finalise();
    return program;
}

}  // namespace nevrik::system

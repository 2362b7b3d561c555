#pragma once

#include <cstdint>

namespace nevrik::system {

/// One recorded step of a call sequence: an opcode and its operands.
///
/// A plain value; an Assembler keeps a list of them and turns the list into a
/// Program. Operands are 64 bits wide so that they can hold the host's
/// addresses and double arguments; `width` says how many bytes a load or store
/// moves (0, the default, means a whole register: a pointer's size).
struct Command {
    enum Opcode : std::uint32_t {
        kCallMember = 0,       ///< a = function; the pending object is its first argument
        kCallStd = 1,          ///< a = function whose callee cleans its arguments
        kCallC = 2,            ///< a = function whose caller cleans its arguments
        kReturn = 3,           ///< return from the program
        kArgument = 4,         ///< a = value bits, b = ArgumentClass: adds a pending argument
        kObject = 5,           ///< a = object: the pending object of later kCallMember
        kPush = 6,             ///< a = register
        kPop = 7,              ///< a = register
        kMove = 8,             ///< register a = register b
        kLoadImmediate = 9,    ///< register a = value b
        kLoadAbsolute = 10,    ///< register a = memory at address b
        kLoadIndirect = 11,    ///< register a = memory at register b
        kLoadDisplaced = 12,   ///< register a = memory at register b + displacement c
        kStoreAbsolute = 13,   ///< memory at address a = register b
        kStoreIndirect = 14,   ///< memory at register a = register b
        kStoreDisplaced = 15,  ///< memory at register a + displacement b = register c
        kLabel = 16,           ///< a = index into the assembler's names: places a label
    };

    /// Registers, named by their x86 numbers, each as wide as a pointer. kEsp
    /// is the machine's stack pointer and is never an operand. kEbx, kEbp,
    /// kEsi and kEdi survive calls; after a call kEax holds its integer
    /// result (undefined for a function without one) and kEcx, kEdx are undefined.
    enum Register : std::uint32_t { kEax = 0, kEcx, kEdx, kEbx, kEsp, kEbp, kEsi, kEdi, kRegisterCount };

    /// How a kArgument's bits are passed: in an integer register (integers and
    /// pointers), or as the low 32 bits of a float, or as a double.
    enum ArgumentClass : std::uint32_t { kInteger = 0, kFloat = 1, kDouble = 2 };

    /// Bytes a load or store moves; a 32-bit load fills the rest of the register with zeros.
    enum Width : std::uint32_t { kWord = 0, k32Bit = 4 };

    /// Most pending arguments a call may take (the pending object not counted).
    static constexpr int kMaxArguments = 5;

    constexpr Command() noexcept = default;
    constexpr Command(std::uint32_t code, std::uint64_t first, std::uint64_t second = 0,
                      std::uint64_t third = 0, Width size = kWord) noexcept
        : opcode(code), width(size), a(first), b(second), c(third) {}

    friend constexpr bool operator==(const Command& x, const Command& y) noexcept {
        return x.opcode == y.opcode && x.width == y.width && x.a == y.a && x.b == y.b && x.c == y.c;
    }
    friend constexpr bool operator!=(const Command& x, const Command& y) noexcept { return !(x == y); }

    std::uint32_t opcode = kReturn;
    std::uint32_t width = kWord;
    std::uint64_t a = 0;
    std::uint64_t b = 0;
    std::uint64_t c = 0;
};

}  // namespace nevrik::system

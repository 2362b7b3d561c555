#include "nevrik/system/detail/Interpreter.h"

#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace nevrik::system::detail {
namespace {

using Word = std::uintptr_t;
using Invoker = Word (*)(Word function, const std::uint64_t* bits);

// How an argument class travels in C++: its type and how its bits become one.
template <std::uint32_t Class>
struct Passed;

template <>
struct Passed<Command::kInteger> {
    using Type = Word;
    static Type from(std::uint64_t bits) noexcept { return static_cast<Word>(bits); }
};

template <>
struct Passed<Command::kFloat> {
    using Type = float;
    static Type from(std::uint64_t bits) noexcept {
        const auto low = static_cast<std::uint32_t>(bits);
        float value;
        std::memcpy(&value, &low, sizeof value);
        return value;
    }
};

template <>
struct Passed<Command::kDouble> {
    using Type = double;
    static Type from(std::uint64_t bits) noexcept {
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
};

constexpr std::size_t kClassCount = 3;

constexpr std::size_t power(std::size_t exponent) noexcept {
    return exponent == 0 ? 1 : kClassCount * power(exponent - 1);
}

// A signature code holds the class of argument i in base-3 digit i.
constexpr std::uint32_t classAt(std::size_t code, std::size_t position) noexcept {
    return static_cast<std::uint32_t>(code / power(position) % kClassCount);
}

// Only the exact parameter types make a call portable, so every signature
// the commands can express gets its own caller. The result is read as a word
// whatever the function returns; the generated code does the same with rax.
template <std::size_t Code, std::size_t... Positions>
Word invokeWith(Word function, [[maybe_unused]] const std::uint64_t* bits,
                std::index_sequence<Positions...>) {
    using Function = Word (*)(typename Passed<classAt(Code, Positions)>::Type...);
    return reinterpret_cast<Function>(function)(Passed<classAt(Code, Positions)>::from(bits[Positions])...);
}

template <std::size_t Count, std::size_t Code>
Word invoke(Word function, const std::uint64_t* bits) {
    return invokeWith<Code>(function, bits, std::make_index_sequence<Count>());
}

// Callers for `Count` arguments; entry i serves signature code i * Stride.
template <std::size_t Count, std::size_t Stride, std::size_t... Index>
constexpr std::array<Invoker, sizeof...(Index)> makeTable(std::index_sequence<Index...>) {
    return {{&invoke<Count, Index * Stride>...}};
}

template <std::size_t Count, std::size_t Stride = 1>
constexpr auto makeTable() {
    return makeTable<Count, Stride>(std::make_index_sequence<power(Count) / Stride>());
}

constexpr int kMaxPassed = Command::kMaxArguments + 1;

// Six arguments only come from a member call with five pending ones: the
// first is the object, an integer, so only every third code can occur.
constexpr std::size_t kStrides[kMaxPassed + 1] = {1, 1, 1, 1, 1, 1, kClassCount};
constexpr auto kTable0 = makeTable<0>();
constexpr auto kTable1 = makeTable<1>();
constexpr auto kTable2 = makeTable<2>();
constexpr auto kTable3 = makeTable<3>();
constexpr auto kTable4 = makeTable<4>();
constexpr auto kTable5 = makeTable<5>();
constexpr auto kTable6 = makeTable<6, kClassCount>();
constexpr const Invoker* kTables[kMaxPassed + 1] = {kTable0.data(), kTable1.data(), kTable2.data(),
                                                    kTable3.data(), kTable4.data(), kTable5.data(),
                                                    kTable6.data()};

Word call(std::uint64_t function, const std::uint64_t* bits, const std::uint32_t* classes, int count) {
    std::size_t code = 0;
    for (int i = count - 1; i >= 0; --i) {
        code = code * kClassCount + classes[i];
    }
    return kTables[count][code / kStrides[count]](static_cast<Word>(function), bits);
}

void* at(std::uint64_t address) noexcept {
    return reinterpret_cast<void*>(static_cast<Word>(address));
}

std::uint64_t load(std::uint64_t address, std::uint32_t width) noexcept {
    if (width == Command::k32Bit) {
        std::uint32_t value;
        std::memcpy(&value, at(address), sizeof value);
        return value;
    }
    Word value;
    std::memcpy(&value, at(address), sizeof value);
    return value;
}

void store(std::uint64_t address, std::uint32_t width, std::uint64_t value) noexcept {
    if (width == Command::k32Bit) {
        const auto narrow = static_cast<std::uint32_t>(value);
        std::memcpy(at(address), &narrow, sizeof narrow);
        return;
    }
    const auto word = static_cast<Word>(value);
    std::memcpy(at(address), &word, sizeof word);
}

}  // namespace

void Interpreter::encode(container::Array<std::uint8_t>& code, const Command& command) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&command);
    for (std::size_t i = 0; i < sizeof command; ++i) {
        code.add(bytes[i]);
    }
}

void Interpreter::run(const std::uint8_t* code, std::size_t size) {
    std::uint64_t registers[Command::kRegisterCount] = {};
    std::vector<std::uint64_t> stack;
    // Slot 0 holds the pending object, so a member call passes it first
    // without copying; pending arguments follow from slot 1.
    std::uint64_t bits[kMaxPassed] = {};
    std::uint32_t classes[kMaxPassed] = {Command::kInteger};
    int pending = 0;
    for (std::size_t offset = 0; offset + sizeof(Command) <= size; offset += sizeof(Command)) {
        Command command;
        std::memcpy(&command, code + offset, sizeof command);
        const std::uint64_t a = command.a;
        const std::uint64_t b = command.b;
        const std::uint64_t c = command.c;
        switch (command.opcode) {
            case Command::kCallMember:
                registers[Command::kEax] = call(a, bits, classes, pending + 1);
                pending = 0;
                break;
            case Command::kCallStd:
            case Command::kCallC:
                registers[Command::kEax] = call(a, bits + 1, classes + 1, pending);
                pending = 0;
                break;
            case Command::kReturn:
                return;
            case Command::kArgument:
                ++pending;
                bits[pending] = a;
                classes[pending] = static_cast<std::uint32_t>(b);
                break;
            case Command::kObject:
                bits[0] = a;
                break;
            case Command::kPush:
                stack.push_back(registers[a]);
                break;
            case Command::kPop:
                registers[a] = stack.back();
                stack.pop_back();
                break;
            case Command::kMove:
                registers[a] = registers[b];
                break;
            case Command::kLoadImmediate:
                registers[a] = b;
                break;
            case Command::kLoadAbsolute:
                registers[a] = load(b, command.width);
                break;
            case Command::kLoadIndirect:
                registers[a] = load(registers[b], command.width);
                break;
            case Command::kLoadDisplaced:
                registers[a] = load(registers[b] + c, command.width);
                break;
            case Command::kStoreAbsolute:
                store(a, command.width, registers[b]);
                break;
            case Command::kStoreIndirect:
                store(registers[a], command.width, registers[b]);
                break;
            case Command::kStoreDisplaced:
                store(registers[a] + b, command.width, registers[c]);
                break;
            default:
                break;
        }
    }
}

}  // namespace nevrik::system::detail

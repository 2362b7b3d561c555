#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/system/Command.h"
#include "nevrik/system/Program.h"
#include "nevrik/types/String.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace nevrik::system {

/// Records a call sequence as commands and assembles it into a Program.
///
/// Engine code appends calls with constant arguments (OpenGL entry points,
/// member calls through plain functions taking the object first), register
/// moves, loads and stores; assemble() checks the list and turns it into
/// code. Owned by value by its user (a model compiler), which calls clear()
/// before each new list; not synchronised.
class Assembler : public object::Object, private object::Noncopyable {
public:
    /// The address of a function to call, from any function pointer
    /// (noexcept ones and entry points held in variables included).
    class Function {
    public:
        template <class F, std::enable_if_t<std::is_function_v<std::remove_pointer_t<F>>, int> = 0>
        Function(F function) noexcept  // NOLINT: converts on purpose
            : mAddress(reinterpret_cast<std::uintptr_t>(function)) {}
        explicit Function(std::uint64_t address) noexcept : mAddress(address) {}

        std::uint64_t getAddress() const noexcept { return mAddress; }

    private:
        std::uint64_t mAddress;
    };

    /// A call argument: its bits and its class, both taken from its C++ type.
    /// Integers are widened by their own signedness; pointers pass as
    /// integers; float and double keep their class.
    class Argument {
    public:
        template <class T, std::enable_if_t<std::is_integral_v<T> || std::is_enum_v<T>, int> = 0>
        Argument(T value) noexcept  // NOLINT: converts on purpose
            : mBits(static_cast<std::uint64_t>(value)), mClass(Command::kInteger) {}
        template <class T>
        Argument(T* value) noexcept  // NOLINT: converts on purpose
            : mBits(reinterpret_cast<std::uintptr_t>(value)), mClass(Command::kInteger) {}
        Argument(std::nullptr_t) noexcept : mBits(0), mClass(Command::kInteger) {}  // NOLINT
        Argument(float value) noexcept;                                             // NOLINT
        Argument(double value) noexcept;                                            // NOLINT

        /// The kArgument command passing this argument.
        Command toCommand() const noexcept { return Command(Command::kArgument, mBits, mClass); }

    private:
        std::uint64_t mBits;
        Command::ArgumentClass mClass;
    };

    Assembler() noexcept = default;

    NEVRIK_CLASS_NAME(object::Object, ":Assembler")

    /// Adds `command` at the end; returns its index.
    int append(const Command& command);

    /// A call of a function that cleans its own arguments (the OpenGL entry points).
    template <class... Arguments>
    void callStd(Function function, Arguments... arguments) {
        static_assert(sizeof...(Arguments) <= Command::kMaxArguments, "too many arguments");
        call(Command::kCallStd, function, {Argument(arguments)...});
    }
    /// A call of a function whose caller cleans the arguments.
    template <class... Arguments>
    void callC(Function function, Arguments... arguments) {
        static_assert(sizeof...(Arguments) <= Command::kMaxArguments, "too many arguments");
        call(Command::kCallC, function, {Argument(arguments)...});
    }
    /// A call of `function` with `object` as its first argument, then the
    /// others; `object` stays pending for later member calls.
    template <class... Arguments>
    void callMember(Function function, const void* object, Arguments... arguments) {
        static_assert(sizeof...(Arguments) <= Command::kMaxArguments, "too many arguments");
        append(Command(Command::kObject, reinterpret_cast<std::uintptr_t>(object)));
        call(Command::kCallMember, function, {Argument(arguments)...});
    }

    void ret();
    void push(std::uint32_t reg);
    void pop(std::uint32_t reg);
    /// Register `target` = register `source`.
    void move(std::uint32_t target, std::uint32_t source);
    /// Register `reg` = `value`.
    void load(std::uint32_t reg, std::uint64_t value);
    /// Register `reg` = the address `value` (a template, so that load(r, 0) stays a number).
    template <class T>
    void load(std::uint32_t reg, T* value) {
        load(reg, static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(value)));
    }
    /// Memory at register `base` + `displacement` = register `source`,
    /// `width` bytes of it (a whole register by default).
    void store(std::uint32_t base, std::int32_t displacement, std::uint32_t source,
               Command::Width width = Command::kWord);
    /// Places a label called `name` at the current point; returns the name's index.
    int label(const char* name);

    /// Empties the commands and names; their buffers stay for the next list.
    void clear() noexcept;
    /// Shrinks both arrays to their counts.
    void trim();

    /// A new, finalised Program (reference count 1, owned by the caller)
    /// made from the commands by the host's backend. Throws object::Exception
    /// for a list that the code could not run safely: a register out of range
    /// or naming the stack pointer, more than Command::kMaxArguments pending
    /// arguments, an unknown argument class or width, a displacement beyond 32
    /// bits, a pop without a push, a return with pushes outstanding, or a label
    /// naming no name. A list that does not end in a return gets one. A list
    /// with nothing to run (calls, returns, register or memory steps) gives a
    /// program with no code, which refuses to run.
    object::Pointer<Program> assemble() const { return assemble(Program::getHostBackend()); }
    /// The same with a chosen backend; asking for native code on a host
    /// without a native backend throws object::Exception.
    object::Pointer<Program> assemble(Program::Backend backend) const;

    const container::Array<Command>& getCommands() const noexcept { return mCommands; }
    const container::Array<types::String>& getNames() const noexcept { return mNames; }

private:
    void call(std::uint32_t opcode, Function function, std::initializer_list<Argument> arguments);

    container::Array<Command> mCommands;
    container::Array<types::String> mNames;
};

}  // namespace nevrik::system

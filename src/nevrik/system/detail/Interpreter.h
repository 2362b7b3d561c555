#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/system/Command.h"

#include <cstddef>
#include <cstdint>

namespace nevrik::system::detail {

/// Runs command lists on hosts without a native backend, making the same
/// calls with the same arguments as the generated code would.
///
/// Its code is the commands themselves, stored as raw records in a byte
/// array. Registers and the push/pop stack are the run's own, so a program
/// cannot disturb its caller's registers. Expects a checked command list
/// (see Assembler::assemble). Stateless: any number of threads may run code
/// at once.
class Interpreter {
public:
    /// Appends `command` to `code`.
    static void encode(container::Array<std::uint8_t>& code, const Command& command);

    /// Runs `size` bytes of encoded commands until a return or the end.
    static void run(const std::uint8_t* code, std::size_t size);
};

}  // namespace nevrik::system::detail

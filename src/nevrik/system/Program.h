#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/platform/CodeMemory.h"
#include "nevrik/system/Label.h"

#include <cstdint>

namespace nevrik::system {

class Assembler;

/// Code assembled from a command list, run with one call.
///
/// Native programs are x86-64 machine code that runs from its own
/// read-and-execute pages; interpreted programs keep the commands and walk
/// them. Either way run() makes the same calls with the same arguments.
/// Only an Assembler fills a program; finalise() then freezes it, and from
/// then on it may be run from any thread, as often as wanted, by whoever
/// holds a reference (a render stream, say). Functions a program calls must
/// not throw: an exception cannot cross the generated code.
class Program : public object::Object, private object::Noncopyable {
public:
    enum class Backend { Native, Interpreter };

    /// Whether this build can generate machine code for its host (x86-64 System V).
    static bool hasNativeBackend() noexcept;
    /// The backend Assembler::assemble() uses: native where there is one,
    /// unless the build forces the interpreter (NEVRIK_FORCE_INTERPRETER).
    static Backend getHostBackend() noexcept;

    explicit Program(Backend backend = getHostBackend()) noexcept : mBackend(backend) {}

    NEVRIK_CLASS_NAME(object::Object, ":Program")

    /// Appends a label with `name` at the current code length. Refused
    /// (false) once the program is finalised.
    bool addLabel(const char* name);

    /// Shrinks the code and labels to their counts, puts the code where it
    /// can run and turns label offsets into addresses. Returns the number of
    /// labels; a second call changes nothing. Throws object::Exception when
    /// the system refuses executable memory.
    int finalise();

    /// Runs the program once. Refused (false, nothing run) when it has no
    /// code or is not finalised.
    bool run() const noexcept;

    Backend getBackend() const noexcept { return mBackend; }
    /// Native: the instruction bytes. Interpreted: the command records.
    const container::Array<std::uint8_t>& getCode() const noexcept { return mCode; }
    const container::Array<Label>& getLabels() const noexcept { return mLabels; }
    bool isFinalised() const noexcept { return mFinalised; }
    /// Where the code runs from; null without code or before finalise().
    const void* getEntry() const noexcept;

private:
    friend class Assembler;

    Backend mBackend;
    container::Array<std::uint8_t> mCode;
    container::Array<Label> mLabels;
    platform::CodeMemory mMemory;
    bool mFinalised = false;
};

}  // namespace nevrik::system

#include "nevrik/system/Program.h"

#include "nevrik/object/Pointer.h"
#include "nevrik/system/Assembler.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace nevrik::system {
namespace {

using Backend = Program::Backend;

std::string sLog;

// Appends "name(value,value,...)" to the log. `frame` is the caller's frame
// address, 16-byte aligned exactly when the call was made on an aligned stack.
template <class... Values>
void record(const void* frame, const char* name, Values... values) {
    std::ostringstream text;
    text << name << '(';
    [[maybe_unused]] const char* separator = "";
    ((text << separator << values, separator = ","), ...);
    text << ')';
    if (reinterpret_cast<std::uintptr_t>(frame) % 16 != 0) {
        text << "!misaligned";
    }
    sLog += text.str();
}

#define NEVRIK_FRAME __builtin_frame_address(0)

struct Target {
    const char* name;
};

// The functions programs call; each logs its name and arguments.
struct Recorded {
    static void none() noexcept { record(NEVRIK_FRAME, "none"); }
    static void one(std::uintptr_t x) { record(NEVRIK_FRAME, "one", x); }
    static void three(int x, int y, int z) { record(NEVRIK_FRAME, "three", x, y, z); }
    static void five(long a, long b, long c, long d, long e) { record(NEVRIK_FRAME, "five", a, b, c, d, e); }
    static void alphaFunc(unsigned function, float reference) {
        record(NEVRIK_FRAME, "alphaFunc", function, reference);
    }
    static void depthRange(double zNear, double zFar) { record(NEVRIK_FRAME, "depthRange", zNear, zFar); }
    static void mixed(int a, float b, double c, long d, float e) {
        record(NEVRIK_FRAME, "mixed", a, b, c, d, e);
    }
    static void member2(Target* self, int x, float y) { record(NEVRIK_FRAME, self->name, x, y); }
    static void member5(Target* self, double a, int b, float c, long d, double e) {
        record(NEVRIK_FRAME, self->name, a, b, c, d, e);
    }
    static void useStack(int depth);
};

// Deep recursion over large frames, with formatted doubles (which need an aligned stack).
int deep(int depth) {
    volatile char buffer[16384];
    for (std::size_t i = 0; i < sizeof buffer; i += 512) {
        buffer[i] = static_cast<char>(depth + static_cast<int>(i));
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", depth * 0.25);
    const int below = depth > 0 ? deep(depth - 1) : 0;
    return below + buffer[depth * 512] + static_cast<int>(std::strlen(text));
}
void Recorded::useStack(int depth) {
    record(NEVRIK_FRAME, "useStack", deep(depth));
}

// What a render program keeps in ESI: a block of fields it stores into.
struct Context {
    std::uintptr_t current = 0;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::uintptr_t data = 0;
    std::uintptr_t slots[8] = {};
};

Context sContext;
Context* currentContext() {
    return &sContext;
}

std::string show(const Context& context) {
    std::ostringstream text;
    text << std::hex << context.current << ' ' << context.type << ' ' << context.size << ' ' << context.data;
    for (std::uintptr_t slot : context.slots) {
        text << ' ' << slot;
    }
    return text.str();
}

std::vector<Backend> backends() {
    std::vector<Backend> all{Backend::Interpreter};
    if (Program::hasNativeBackend()) {
        all.push_back(Backend::Native);
    }
    return all;
}

// Runs the assembler's list through every backend on a fresh log and context
// and expects the same log and context from each; returns the log followed
// by the context.
std::string runEverywhere(const Assembler& assembler) {
    std::string first;
    for (Backend backend : backends()) {
        sLog.clear();
        sContext = Context();
        auto program = assembler.assemble(backend);
        EXPECT_TRUE(program->run());
        const std::string result = sLog + " | " + show(sContext);
        if (backend == Backend::Interpreter) {
            first = result;
        } else {
            EXPECT_EQ(result, first) << "native and interpreted runs differ";
        }
    }
    return first;
}

std::string logOf(const std::string& result) {
    return result.substr(0, result.find(" | "));
}

TEST(ProgramTest, CallsPassUpToFiveArgumentsOfEveryClassInOrder) {
    Assembler assembler;
    assembler.callC(Recorded::none);
    assembler.callStd(Recorded::one, std::uintptr_t{0xFEDCBA9876543210u});
    assembler.callC(Recorded::three, -1, 2, 3);
    assembler.callC(Recorded::five, 1L, -2L, 3L, -4L, 0x123456789AL);
    assembler.callStd(Recorded::alphaFunc, 0x0204u, 0.5f);
    assembler.callStd(Recorded::depthRange, 0.25, 1.0);
    assembler.callC(Recorded::mixed, 1, 2.5f, -3.25, 4L, 5.75f);
    EXPECT_EQ(logOf(runEverywhere(assembler)),
              "none()one(18364758544493064720)three(-1,2,3)five(1,-2,3,-4,78187493530)alphaFunc(516,0.5)"
              "depthRange(0.25,1)mixed(1,2.5,-3.25,4,5.75)");
}

TEST(ProgramTest, PendingObjectPersistsAcrossCalls) {
    Target first{"first"};
    Target second{"second"};
    Assembler assembler;
    assembler.callMember(Recorded::member2, &first, 1, 0.5f);
    assembler.callStd(Recorded::one, 1);
    // A member call without a new object goes to the pending one.
    assembler.append(Command(Command::kArgument, 2));
    assembler.append(Command(Command::kArgument, 0x40400000, Command::kFloat));
    assembler.append(Command(Command::kCallMember, Assembler::Function(Recorded::member2).getAddress()));
    assembler.callMember(Recorded::member5, &second, 0.5, 6, 1.25f, -7L, 2.0);
    EXPECT_EQ(logOf(runEverywhere(assembler)), "first(1,0.5)one(1)first(2,3)second(0.5,6,1.25,-7,2)");
}

TEST(ProgramTest, ContextRegisterSurvivesCallsAndStoresReachItsFields) {
    Assembler assembler;
    assembler.push(Command::kEsi);
    assembler.callC(currentContext);
    assembler.move(Command::kEsi, Command::kEax);
    assembler.load(Command::kEdi, &sContext.slots[7]);
    assembler.store(Command::kEsi, offsetof(Context, slots), Command::kEdi);
    assembler.callC(Recorded::three, 1, 2, 3);
    assembler.load(Command::kEdx, 0x1403);
    assembler.store(Command::kEsi, offsetof(Context, type), Command::kEdx, Command::k32Bit);
    assembler.callC(Recorded::useStack, 12);
    assembler.store(Command::kEsi, offsetof(Context, current), Command::kEdi);
    assembler.load(Command::kEcx, 2);
    assembler.store(Command::kEsi, offsetof(Context, size), Command::kEcx, Command::k32Bit);
    // Clearing a field the way a render program drops its current object.
    assembler.load(Command::kEcx, 0);
    assembler.store(Command::kEsi, offsetof(Context, slots), Command::kEcx);
    assembler.load(Command::kEax, 0xAABBCCDD11223344u);
    assembler.store(Command::kEsi, offsetof(Context, data), Command::kEax);
    assembler.pop(Command::kEsi);
    assembler.ret();
    std::ostringstream expected;
    // The 32-bit stores leave their neighbours alone.
    expected << "three(1,2,3)useStack(" << deep(12) << ") | " << std::hex
             << reinterpret_cast<std::uintptr_t>(&sContext.slots[7])
             << " 1403 2 aabbccdd11223344 0 0 0 0 0 0 0 0";
    EXPECT_EQ(runEverywhere(assembler), expected.str());
}

TEST(ProgramTest, EveryRegisterCarriesItsOwnValueThroughLoadsAndStores) {
    const std::uint32_t registers[] = {Command::kEax, Command::kEcx, Command::kEdx, Command::kEbx,
                                       Command::kEbp, Command::kEsi, Command::kEdi};
    Assembler assembler;
    // Each register in turn is the base for storing every other one into
    // its slot; then the load and store forms shuffle the slots.
    for (std::uint32_t base : registers) {
        assembler.load(base, &sContext);
        for (std::uint32_t value : registers) {
            if (value != base) {
                assembler.load(value, 0x100 + value);
            }
        }
        for (std::uint32_t value : registers) {
            if (value != base) {
                assembler.store(base, static_cast<std::int32_t>(offsetof(Context, slots) + value * 8), value);
            }
        }
    }
    const auto slot = [](int index) { return reinterpret_cast<std::uint64_t>(&sContext.slots[index]); };
    assembler.load(Command::kEbx, slot(1));
    assembler.append(Command(Command::kLoadIndirect, Command::kEdi, Command::kEbx));      // 0x101
    assembler.append(Command(Command::kLoadDisplaced, Command::kEbp, Command::kEbx, 8));  // 0x102
    assembler.append(Command(Command::kLoadAbsolute, Command::kEcx, slot(3)));            // 0x103
    assembler.append(
        Command(Command::kStoreAbsolute, reinterpret_cast<std::uint64_t>(&sContext.current), Command::kEdi));
    assembler.append(Command(Command::kStoreIndirect, Command::kEbx, Command::kEbp));  // slot 1
    assembler.load(Command::kEsi, slot(4));
    assembler.append(Command(Command::kStoreDisplaced, Command::kEsi, static_cast<std::uint64_t>(-24),
                             Command::kEcx));  // slot 1
    assembler.move(Command::kEax, Command::kEbp);
    assembler.store(Command::kEsi, -8, Command::kEax);  // slot 3
    assembler.append(Command(Command::kLoadAbsolute, Command::kEdx, slot(5), 0, Command::k32Bit));
    const auto data = static_cast<std::int32_t>(offsetof(Context, data));
    const auto slots = static_cast<std::int32_t>(offsetof(Context, slots));
    assembler.store(Command::kEsi, data - slots - 32, Command::kEdx);
    EXPECT_EQ(runEverywhere(assembler), " | 101 0 0 105 100 103 102 102 0 105 106 107");
}

TEST(ProgramTest, ReturnEndsTheRunAndOpcodesAboveLabelsAreSkipped) {
    Assembler assembler;
    assembler.callStd(Recorded::one, 1);
    assembler.append(Command(17, 0xDEAD));
    assembler.append(Command(0xFFFFFFFFu, 0xDEAD));
    assembler.callStd(Recorded::one, 2);
    assembler.ret();
    assembler.callStd(Recorded::one, 3);
    assembler.ret();
    EXPECT_EQ(logOf(runEverywhere(assembler)), "one(1)one(2)");
}

TEST(ProgramTest, ProgramWithoutCodeRefusesToRun) {
    for (Backend backend : backends()) {
        // Pending arguments and labels alone run nothing.
        Assembler assembler;
        assembler.append(Command(Command::kArgument, 1));
        assembler.append(Command(Command::kObject, 1));
        assembler.label("nothing");
        auto idle = assembler.assemble(backend);
        EXPECT_TRUE(idle->getCode().isEmpty());
        EXPECT_EQ(idle->getEntry(), nullptr);
        EXPECT_FALSE(idle->run());
    }
    Program unfinished;
    EXPECT_FALSE(unfinished.run());
}

TEST(ProgramTest, LabelsBecomeAddressesOnceAtFinalise) {
    const std::string longName(70, 'x');
    for (Backend backend : backends()) {
        Assembler assembler;
        assembler.label("start");
        assembler.callStd(Recorded::one, 1);
        assembler.label(longName.c_str());
        assembler.ret();
        auto program = assembler.assemble(backend);
        const auto& labels = program->getLabels();
        ASSERT_EQ(labels.getCount(), 2);
        const auto entry = reinterpret_cast<std::uintptr_t>(program->getEntry());
        const std::uintptr_t first = labels[0].address;
        EXPECT_EQ(labels[0].getName(), "start");
        // Cut to 64 characters, with no terminating NUL.
        EXPECT_EQ(labels[1].getName(), types::String(longName.c_str(), Label::kNameSize));
        EXPECT_EQ(labels[1].name[Label::kNameSize - 1], 'x');
        if (backend == Backend::Native) {
            // After the entry sequence (one stack adjustment); the second at the return sequence.
            EXPECT_EQ(first, entry + 4);
            const std::uint8_t exit[] = {0x48, 0x83, 0xC4, 0x08, 0xC3};
            EXPECT_EQ(std::memcmp(reinterpret_cast<const void*>(labels[1].address), exit, sizeof exit), 0);
        } else {
            // At the records of the call's argument and of the return.
            EXPECT_EQ(first, entry);
            EXPECT_EQ(labels[1].address, entry + 2 * sizeof(Command));
        }
        // Finalised once: a second call neither moves the labels nor takes new ones.
        EXPECT_EQ(program->finalise(), 2);
        EXPECT_EQ(labels[0].address, first);
        EXPECT_FALSE(program->addLabel("late"));
        EXPECT_EQ(labels.getCount(), 2);
    }
}

#if defined(__x86_64__)
// Calls `entry` with marked values in every register System V asks a callee
// to keep and reports which of them came back changed.
std::string changedKeptRegisters(const void* entry) {
    std::uint64_t after[6] = {};
    const void* target = entry;
    std::uint64_t* results = after;
    asm volatile(
        "mov %%rsp, %%rax\n\t"
        "sub $128, %%rsp\n\t"  // over the red zone
        "and $-16, %%rsp\n\t"
        "push %%rax\n\t"
        "push %%rsi\n\t"
        "push %%rbx\n\tpush %%rbp\n\tpush %%r12\n\tpush %%r13\n\tpush %%r14\n\tpush %%r15\n\t"
        "mov $0x1b, %%ebx\n\tmov $0x1c, %%ebp\n\tmov $0x1d, %%r12d\n\t"
        "mov $0x1e, %%r13d\n\tmov $0x1f, %%r14d\n\tmov $0x20, %%r15d\n\t"
        "call *%%rdi\n\t"
        "mov 48(%%rsp), %%rax\n\t"
        "mov %%rbx, 0(%%rax)\n\tmov %%rbp, 8(%%rax)\n\tmov %%r12, 16(%%rax)\n\t"
        "mov %%r13, 24(%%rax)\n\tmov %%r14, 32(%%rax)\n\tmov %%r15, 40(%%rax)\n\t"
        "pop %%r15\n\tpop %%r14\n\tpop %%r13\n\tpop %%r12\n\tpop %%rbp\n\tpop %%rbx\n\t"
        "pop %%rsi\n\t"
        "pop %%rsp\n\t"
        : "+D"(target), "+S"(results)
        :
        : "rax", "rcx", "rdx", "r8", "r9", "r10", "r11", "memory", "cc", "xmm0", "xmm1", "xmm2", "xmm3",
          "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10", "xmm11", "xmm12", "xmm13", "xmm14",
          "xmm15");
    std::string changed;
    const char* names[] = {"rbx", "rbp", "r12", "r13", "r14", "r15"};
    for (int i = 0; i < 6; ++i) {
        if (after[i] != 0x1bu + static_cast<unsigned>(i)) {
            changed += names[i];
        }
    }
    return changed;
}

TEST(ProgramTest, NativeCodeKeepsItsCallersRegistersEvenWhenTheListForgets) {
    Assembler assembler;
    for (std::uint32_t reg : {Command::kEbx, Command::kEbp, Command::kEsi, Command::kEdi}) {
        assembler.load(reg, 0xBAD);
    }
    // An odd number of pushes puts the call on the other stack parity.
    assembler.push(Command::kEbx);
    assembler.callStd(Recorded::one, 1);
    assembler.pop(Command::kEdi);
    assembler.callStd(Recorded::one, 2);
    assembler.ret();
    auto program = assembler.assemble(Backend::Native);
    sLog.clear();
    EXPECT_EQ(changedKeptRegisters(program->getEntry()), "");
    EXPECT_EQ(sLog, "one(1)one(2)");
}
#endif

}  // namespace
}  // namespace nevrik::system

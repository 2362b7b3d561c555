#include "nevrik/object/Pointer.h"
#include "nevrik/system/Assembler.h"
#include "nevrik/system/Program.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

using nevrik::object::Pointer;
using nevrik::system::Assembler;
using nevrik::system::Program;

constexpr int kCalls = 1000;

std::uintptr_t sSum = 0;

__attribute__((noinline)) void add(std::uintptr_t value) {
    sSum += value;
}

// kCalls calls of add(i), the shape of a render program: constant arguments,
// one entry point after another.
Pointer<Program> build(Program::Backend backend) {
    Assembler assembler;
    for (int i = 0; i < kCalls; ++i) {
        assembler.callStd(add, i);
    }
    assembler.ret();
    return assembler.assemble(backend);
}

void runProgram(benchmark::State& state, Program::Backend backend) {
    const Pointer<Program> program = build(backend);
    for (auto _ : state) {
        program->run();
    }
    benchmark::DoNotOptimize(sSum);
    state.SetItemsProcessed(state.iterations() * kCalls);
}

void BM_ProgramNative(benchmark::State& state) {
    if (!Program::hasNativeBackend()) {
        state.SkipWithError("no native backend on this host");
        return;
    }
    runProgram(state, Program::Backend::Native);
}

void BM_ProgramInterpreted(benchmark::State& state) {
    runProgram(state, Program::Backend::Interpreter);
}

// The same calls made by plain C++: a loop over function pointers and their arguments.
void BM_FunctionPointerLoop(benchmark::State& state) {
    struct Call {
        void (*function)(std::uintptr_t);
        std::uintptr_t argument;
    };
    std::vector<Call> calls;
    for (int i = 0; i < kCalls; ++i) {
        calls.push_back({add, static_cast<std::uintptr_t>(i)});
    }
    for (auto _ : state) {
        for (const Call& call : calls) {
            call.function(call.argument);
        }
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(sSum);
    state.SetItemsProcessed(state.iterations() * kCalls);
}

BENCHMARK(BM_ProgramNative);
BENCHMARK(BM_ProgramInterpreted);
BENCHMARK(BM_FunctionPointerLoop);

}  // namespace

// Reading a 1 MB text file: DataInput::readLine against the byte-at-a-time
// loop an unbuffered readLine would run (available() and a one-byte read per
// byte, each a system call), with one bulk read as the floor.

#include "nevrik/io/DataInput.h"
#include "nevrik/io/SystemFileFactory.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using nevrik::io::DataInput;
using nevrik::io::File;
using nevrik::io::InputStream;
using nevrik::io::SystemFileFactory;
using nevrik::object::Pointer;

constexpr int kFileSize = 1 << 20;

// The bench folder, with one 1 MB file per line length, made once.
const std::string& folder() {
    static const std::string sFolder = [] {
        const auto path = std::filesystem::temp_directory_path() / "nevrik-io-bench";
        std::filesystem::create_directories(path);
        return path.string();
    }();
    return sFolder;
}

std::string textFile(int lineLength) {
    const std::string name = "lines" + std::to_string(lineLength) + ".txt";
    const std::string path = folder() + "/" + name;
    if (!std::filesystem::exists(path)) {
        std::ofstream out(path, std::ios::binary);
        std::string line(static_cast<std::size_t>(lineLength), 'x');
        line += "\r\n";
        for (int written = 0; written < kFileSize; written += static_cast<int>(line.size())) {
            out << line;
        }
    }
    return name;
}

void readLines(benchmark::State& state) {
    SystemFileFactory factory(folder().c_str());
    const std::string name = textFile(static_cast<int>(state.range(0)));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        Pointer<File> file = factory.open(name.c_str(), File::kRead);
        DataInput input(file->getInputStream());
        int lines = 0;
        while (file->getInputStream().available() > 0) {
            benchmark::DoNotOptimize(input.readLine());
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
        bytes += input.getCount();
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(readLines)->Arg(40)->Arg(2000)->Unit(benchmark::kMillisecond);

void readByteAtATime(benchmark::State& state) {
    SystemFileFactory factory(folder().c_str());
    const std::string name = textFile(40);
    std::int64_t bytes = 0;
    for (auto _ : state) {
        Pointer<File> file = factory.open(name.c_str(), File::kRead);
        InputStream& stream = file->getInputStream();
        char byte = 0;
        while (stream.available() > 0 && stream.read(&byte, 1) == 1) {
            ++bytes;
        }
        benchmark::DoNotOptimize(byte);
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(readByteAtATime)->Unit(benchmark::kMillisecond);

void readWhole(benchmark::State& state) {
    SystemFileFactory factory(folder().c_str());
    const std::string name = textFile(40);
    std::string buffer(kFileSize + 64, '\0');
    std::int64_t bytes = 0;
    for (auto _ : state) {
        Pointer<File> file = factory.open(name.c_str(), File::kRead);
        bytes += file->read(buffer.data(), static_cast<std::int32_t>(buffer.size()));
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(readWhole)->Unit(benchmark::kMillisecond);

}  // namespace

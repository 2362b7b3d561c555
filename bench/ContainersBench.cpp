// Map against std::map over 100,000 String keys: the treap's pooled nodes and
// length-first key comparison should keep it in the same league.

#include "nevrik/container/Map.h"
#include "nevrik/types/String.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

namespace {

using nevrik::container::Map;
using nevrik::types::String;

constexpr int kKeyCount = 100000;

// Texture-like names in shuffled order, the same on every run.
const std::vector<String>& keys() {
    static const std::vector<String> sKeys = [] {
        std::vector<String> made;
        made.reserve(kKeyCount);
        char text[64];
        for (int i = 0; i < kKeyCount; ++i) {
            std::snprintf(text, sizeof text, "textures/model_%d_diffuse.png", i * 7919 % 1000003);
            made.emplace_back(text);
        }
        std::shuffle(made.begin(), made.end(), std::mt19937(42));
        return made;
    }();
    return sKeys;
}

void mapInsert(benchmark::State& state) {
    for (auto _ : state) {
        Map<String, int> map;
        int value = 0;
        for (const String& key : keys()) {
            map.insert(key, value++);
        }
        benchmark::DoNotOptimize(map.getCount());
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}
BENCHMARK(mapInsert)->Unit(benchmark::kMillisecond);

void stdMapInsert(benchmark::State& state) {
    for (auto _ : state) {
        std::map<String, int> map;
        int value = 0;
        for (const String& key : keys()) {
            map.insert_or_assign(key, value++);
        }
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}
BENCHMARK(stdMapInsert)->Unit(benchmark::kMillisecond);

void mapFind(benchmark::State& state) {
    Map<String, int> map;
    int value = 0;
    for (const String& key : keys()) {
        map.insert(key, value++);
    }
    for (auto _ : state) {
        long sum = 0;
        for (const String& key : keys()) {
            sum += *map.find(key);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}
BENCHMARK(mapFind)->Unit(benchmark::kMillisecond);

void stdMapFind(benchmark::State& state) {
    std::map<String, int> map;
    int value = 0;
    for (const String& key : keys()) {
        map.insert_or_assign(key, value++);
    }
    for (auto _ : state) {
        long sum = 0;
        for (const String& key : keys()) {
            sum += map.find(key)->second;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}
BENCHMARK(stdMapFind)->Unit(benchmark::kMillisecond);

}  // namespace

// Replays the scene benchmark's seeded picks, each ray once per round, so
// that a tool counting instructions measures picking alone: on a shared
// machine the timings drift by a third, the instruction counts not at all.
//
//   valgrind --tool=callgrind --collect-atstart=no
//       --toggle-collect='nevrik::bench::replay(*' nevrik_pick_replay 10000 1
//
// gives the instructions of `rounds` x `rays` picks (both printed).
#include "SampleScene.h"
#include "nevrik/scene3d/PickTraverser.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace nevrik::bench {

// Apart and not inlined, so that a profiler can count it alone.
[[gnu::noinline]] std::int64_t replay(const Scene& scene, const std::vector<geometry::Ray>& rays) {
    std::int64_t hits = 0;
    for (const geometry::Ray& ray : rays) {
        geometry::PickResult result;
        hits += scene3d::PickTraverser(scene.universe()).pick(ray, &result) != nullptr ? 1 : 0;
    }
    return hits;
}

}  // namespace nevrik::bench

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr,
                     "usage: nevrik_pick_replay <triangles> <hits: 1 hit rays, 0 miss rays> [rounds]\n");
        return 2;
    }
    const std::int64_t triangles = std::atoll(argv[1]);
    const bool hits = std::atoi(argv[2]) != 0;
    const int rounds = argc == 4 ? std::atoi(argv[3]) : 1;
    const auto scene = nevrik::bench::sampleScene(triangles, false);
    if (!scene) {
        std::fprintf(stderr, "nevrik_pick_replay: no rendering context or no model\n");
        return 1;
    }
    const std::vector<nevrik::geometry::Ray> rays = nevrik::bench::seededRays(*scene, hits);
    std::int64_t picked = 0;
    for (int round = 0; round < rounds; ++round) {
        picked += nevrik::bench::replay(*scene, rays);
    }
    std::printf("rounds %d rays %zu picked %lld\n", rounds, rays.size(), static_cast<long long>(picked));
    return 0;
}

#include "nevrik/scene3d/PickTraverser.h"

#include "nevrik/scene3d/Group.h"

#include "scene3d/SceneProbe.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nevrik::scene3d {
namespace {

using test::kInfinity;
using test::Probe;
using test::Triangle;
using test::Vec;
using Ray = geometry::Ray;

// A triangle in the plane z, its right angle at (x - half, y - half).
Triangle facing(float x, float y, float z, float half) {
    return Triangle{Vec(x - half, y - half, z), Vec(x + half, y - half, z), Vec(x - half, y + half, z)};
}

TEST(PickTraverserTest, MatchesBruteForceOverRandomScenes) {
    for (unsigned seed : {1u, 2u, 3u}) {
        test::Dice dice(seed);
        test::World world;
        world.addLocale();
        for (int i = 0; i < 300; ++i) {
            world.add(dice.probe(200.0f));
        }
        world.universe()->update();
        const std::vector<Probe*> probes = world.probes();
        PickTraverser traverser(world.universe());
        int hits = 0;
        for (int r = 0; r < 400; ++r) {
            // Rays from inside and outside the cloud; every other one aimed at a leaf.
            Ray ray(dice.point(300.0f), dice.point(1.0f));
            if (r % 2 == 0) {
                ray.direction =
                    probes[static_cast<std::size_t>(r) % probes.size()]->getWorldBox().getCentre() +
                    dice.point(0.5f) - ray.origin;
            }
            const Probe* expected = nullptr;
            float best = kInfinity;
            for (const Probe* probe : probes) {
                if (probe->nearest(ray) < best) {
                    best = probe->nearest(ray);
                    expected = probe;
                }
            }
            geometry::PickResult result;
            ASSERT_EQ(traverser.pick(ray, &result), expected) << "seed " << seed << " ray " << r;
            EXPECT_EQ(result.distance, best);
            EXPECT_EQ(result.node, expected);
            hits += expected != nullptr ? 1 : 0;
        }
        EXPECT_GT(hits, 100);
        EXPECT_LT(hits, 400);
    }
}

TEST(PickTraverserTest, MatchesBruteForceWhileLeavesLeaveAndReturn) {
    // Cells keep the bounds of leaves that have left them, and leaves return
    // into cells split and collapsed meanwhile: the cull stays sound and the
    // walk misses no occupied slot.
    test::Dice dice(4);
    test::World world;
    world.addLocale();
    std::vector<Probe*> probes;
    for (int i = 0; i < 300; ++i) {
        probes.push_back(world.add(dice.probe(200.0f)));
    }
    Group* root = probes.front()->getParent();
    std::vector<bool> present(probes.size(), true);
    PickTraverser traverser(world.universe());
    int hits = 0;
    for (int round = 0; round < 8; ++round) {
        for (std::size_t i = 0; i < probes.size(); ++i) {
            if (dice.uniform(0.0f, 1.0f) < 0.3f) {
                ASSERT_TRUE(present[i] ? root->removeChild(probes[i]) : root->addChild(probes[i]));
                present[i] = !present[i];
            }
        }
        world.universe()->update();
        for (int r = 0; r < 100; ++r) {
            const Probe* target = probes[static_cast<std::size_t>(dice.uniform(0.0f, 299.99f))];
            Ray ray(dice.point(300.0f), Vec());
            ray.direction = target->getWorldBox().getCentre() + dice.point(0.5f) - ray.origin;
            const Probe* expected = nullptr;
            float best = kInfinity;
            for (std::size_t i = 0; i < probes.size(); ++i) {
                if (present[i] && probes[i]->nearest(ray) < best) {
                    best = probes[i]->nearest(ray);
                    expected = probes[i];
                }
            }
            geometry::PickResult result;
            ASSERT_EQ(traverser.pick(ray, &result), expected) << "round " << round << " ray " << r;
            EXPECT_EQ(result.distance, best);
            hits += expected != nullptr ? 1 : 0;
        }
    }
    EXPECT_GT(hits, 200);
}

TEST(PickTraverserTest, EmptyUniverseOverwritesTheWholeRecord) {
    test::World world;
    PickTraverser traverser(world.universe());
    geometry::PickResult result;
    result.distance = -1.0f;
    result.model = reinterpret_cast<graphics3d::Model*>(0x10);
    result.mesh = reinterpret_cast<graphics3d::Mesh*>(0x20);
    result.node = reinterpret_cast<Node*>(0x30);
    const Ray ray(Vec(0.0f, 0.0f, 5.0f), Vec(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(traverser.pick(ray, &result), nullptr);
    EXPECT_EQ(result.distance, kInfinity);
    EXPECT_EQ(result.model, nullptr);
    EXPECT_EQ(result.mesh, nullptr);
    EXPECT_EQ(result.node, nullptr);
    EXPECT_EQ(PickTraverser(nullptr).pick(ray, nullptr), nullptr);
    EXPECT_STREQ(traverser.className().c_str(), "Object:PickTraverser");
}

TEST(PickTraverserTest, EqualDistancesKeepTheLeafAskedFirst) {
    test::World world;
    world.addLocale();
    // Three coincident triangles, and two side by side that one ray meets on
    // their shared edge.
    std::vector<Probe*> same, edge;
    for (int i = 0; i < 3; ++i) {
        same.push_back(world.addProbe({facing(0.0f, 0.0f, -5.0f, 1.0f)}));
    }
    edge.push_back(world.addProbe({facing(20.0f, 0.0f, -5.0f, 1.0f)}));
    edge.push_back(world.addProbe(
        {Triangle{Vec(19.0f, -1.0f, -5.0f), Vec(19.0f, 1.0f, -5.0f), Vec(17.0f, 1.0f, -5.0f)}}));
    world.universe()->update();
    PickTraverser traverser(world.universe());
    const auto firstAsked = [](const std::vector<Probe*>& probes) {
        return *std::min_element(probes.begin(), probes.end(), [](const Probe* a, const Probe* b) {
            return a->mPickStamp < b->mPickStamp;
        });
    };
    EXPECT_EQ(traverser.pick(Ray(Vec(-0.5f, -0.5f, 0.0f), Vec(0.0f, 0.0f, -1.0f)), nullptr),
              firstAsked(same));
    EXPECT_EQ(traverser.pick(Ray(Vec(19.0f, 0.0f, 0.0f), Vec(0.0f, 0.0f, -1.0f)), nullptr), firstAsked(edge));
}

TEST(PickTraverserTest, LocaleOffsetsAreAppliedInDoubles) {
    test::World world;
    world.addLocale();
    // At 2^24 a float cannot hold the half unit: only a double offset puts
    // the ray through the narrow triangle of the far locale.
    const double far = 16777216.0;
    world.addLocale(math::Vector3<double>(far, 0.0, 0.0));
    Probe* home = world.addProbe({facing(0.0f, 0.0f, -50.0f, 1.0f)}, 0);
    Probe* away = world.addProbe(
        {Triangle{Vec(0.25f, -1.0f, -20.0f), Vec(0.75f, -1.0f, -20.0f), Vec(0.5f, 1.0f, -20.0f)}}, 1);
    world.universe()->update();
    PickTraverser traverser(world.universe());
    geometry::PickResult result;
    const Ray nearAway(Vec(0.5f, 0.0f, 0.0f), Vec(0.0f, 0.0f, -1.0f));
    traverser.setOffset(math::Vector3<double>(-far, 0.0, 0.0));  // rays given in the far locale's frame
    EXPECT_EQ(traverser.pick(nearAway, &result), away);
    EXPECT_FLOAT_EQ(result.distance, 20.0f);
    EXPECT_EQ(traverser.getLocale(), nullptr) << "a pass over every locale leaves none set";

    // Hits compare across locales: the home leaf is nearer along this ray.
    traverser.setOffset(math::Vector3<double>());
    const Ray both(Vec(0.0f, 0.0f, 100.0f), Vec(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(traverser.pick(both, &result), home);
    EXPECT_FLOAT_EQ(result.distance, 150.0f);

    // A preset locale is the only one walked, and stays set.
    traverser.setLocale(world.locale(1));
    EXPECT_EQ(traverser.pick(both, nullptr), nullptr);
    traverser.setOffset(math::Vector3<double>(-far, 0.0, 0.0));
    EXPECT_EQ(traverser.pick(nearAway, nullptr), away);
    EXPECT_EQ(traverser.getLocale(), world.locale(1));
}

TEST(PickTraverserTest, MouseAtCentreAndTopLeftCorner) {
    test::World world;
    world.addLocale();
    // The viewer stands at (10, 0, 0) looking down -x. Its 20 x 20 window
    // at distance 100 puts the centre ray along (-100, 0, 0) and the top
    // left one along (-100, 10, 10); both reach x = -490 at t = 5.
    auto* viewer = world.add(object::make<Viewer>());
    const float turn[16] = {0, 0, 1, 10, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1};
    viewer->setLocalTransform(math::Matrix4<float>(turn));
    viewer->markDirty();
    const auto across = [](float y, float z) {
        return Triangle{Vec(-490.0f, y - 5.0f, z - 5.0f), Vec(-490.0f, y + 5.0f, z - 5.0f),
                        Vec(-490.0f, y, z + 5.0f)};
    };
    Probe* centre = world.addProbe({across(0.0f, 0.0f)});
    Probe* corner = world.addProbe({across(50.0f, 50.0f)});
    world.universe()->update();

    // Pixels of a 640 x 480 view, y downwards, to the -1..1 window.
    const auto mouse = [&](float mx, float my, float* distance) {
        geometry::PickResult result;
        Node* node = PickTraverser(world.universe())
                         .pick(viewer->rayThrough((mx - 320.0f) / 320.0f, (my - 240.0f) / 240.0f), &result);
        *distance = result.distance;
        return node;
    };
    float distance = 0.0f;
    EXPECT_EQ(mouse(320.0f, 240.0f, &distance), centre);
    EXPECT_NEAR(distance, 5.0f, 1e-4f);
    EXPECT_EQ(mouse(0.0f, 0.0f, &distance), corner);
    EXPECT_NEAR(distance, 5.0f, 1e-4f);
    EXPECT_EQ(mouse(639.0f, 479.0f, &distance), nullptr);
}

}  // namespace
}  // namespace nevrik::scene3d

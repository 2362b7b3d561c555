#include "nevrik/scene3d/PickTraverser.h"

#include "nevrik/graphics3d/StaticModel.h"
#include "nevrik/graphics3d/TypeWord.h"
#include "nevrik/graphics3d/VertexMesh.h"
#include "nevrik/scene3d/ModelNode.h"
#include "nevrik/scene3d/Viewer.h"
#include "scene3d/SceneProbe.h"

#include <cstring>

#include <gtest/gtest.h>

#include <limits>

namespace nevrik::scene3d {
namespace {

using test::Probe;
using test::Triangle;
using test::Vec;
using test::World;

constexpr float kInfinity = std::numeric_limits<float>::infinity();

// A result record full of rubbish, to see that pick() overwrites all of it.
geometry::PickResult soiled() {
    geometry::PickResult result;
    result.point = Vec(7.0f, 7.0f, 7.0f);
    result.distance = -1.0f;
    result.model = reinterpret_cast<graphics3d::Model*>(0x10);
    result.mesh = reinterpret_cast<graphics3d::Mesh*>(0x20);
    result.node = reinterpret_cast<Node*>(0x30);
    return result;
}

// A triangle facing +z at depth z, covering the square |x|, |y| <= half
// around (x, y) only below its diagonal.
Triangle facing(float x, float y, float z, float half) {
    return Triangle{Vec(x - half, y - half, z), Vec(x + half, y - half, z), Vec(x - half, y + half, z)};
}

TEST(PickTraverserTest, MatchesBruteForceOverRandomScenes) {
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        test::Dice dice(seed);
        World world;
        world.addLocale();
        for (int i = 0; i < 300; ++i) {
            world.add(new Probe(dice.cluster(200.0f)));
        }
        world.update();
        PickTraverser traverser(world.universe());
        int hits = 0;
        for (int r = 0; r < 400; ++r) {
            // Rays from outside and inside the cloud, half of them aimed at a leaf.
            geometry::Ray ray(dice.point(300.0f), dice.point(1.0f));
            if (r % 2 == 0) {
                const Probe& target = *world.probes()[static_cast<std::size_t>(r) % world.probes().size()];
                ray.direction = target.getWorldBox().getCentre() + dice.point(0.5f) - ray.origin;
            }
            const Probe* expected = nullptr;
            float best = kInfinity;
            for (const auto& probe : world.probes()) {
                const float distance = probe->nearest(ray);
                if (distance < best) {
                    best = distance;
                    expected = probe.get();
                }
            }
            geometry::PickResult result;
            EXPECT_EQ(traverser.pick(ray, &result), expected) << "ray " << r;
            EXPECT_EQ(result.distance, best) << "ray " << r;
            EXPECT_EQ(result.node, expected);
            hits += expected != nullptr ? 1 : 0;
        }
        // Both verdicts must have been exercised.
        EXPECT_GT(hits, 100);
        EXPECT_LT(hits, 400);
    }
}

TEST(PickTraverserTest, EmptyUniverseAndEmptyLocalePickNothing) {
    World world;
    PickTraverser traverser(world.universe());
    geometry::PickResult result = soiled();
    const geometry::Ray ray(Vec(0.0f, 0.0f, 5.0f), Vec(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(traverser.pick(ray, &result), nullptr);
    EXPECT_EQ(result.distance, kInfinity);
    EXPECT_EQ(result.model, nullptr);
    EXPECT_EQ(result.mesh, nullptr);
    EXPECT_EQ(result.node, nullptr);

    world.addLocale();
    result = soiled();
    EXPECT_EQ(traverser.pick(ray, &result), nullptr);
    EXPECT_EQ(result.distance, kInfinity);
    EXPECT_EQ(result.node, nullptr);

    PickTraverser nowhere(nullptr);
    EXPECT_EQ(nowhere.pick(ray, nullptr), nullptr);
    EXPECT_STREQ(nowhere.className().c_str(), "Object:PickTraverser");
}

TEST(PickTraverserTest, BoxMetButTrianglesMissedChangesNothing) {
    World world;
    world.addLocale();
    // The near leaf's box spans the ray, its triangle sits in the lower left
    // corner only; the far leaf is hit.
    Probe* nearLeaf = world.add(new Probe({facing(-1.0f, -1.0f, 0.0f, 1.0f)}));
    Probe* farLeaf = world.add(new Probe({facing(0.5f, 0.5f, -10.0f, 2.0f)}));
    world.update();
    const geometry::Ray ray(Vec(-0.1f, -0.1f, 10.0f), Vec(0.0f, 0.0f, -2.0f));
    ASSERT_TRUE(geometry::intersects(nearLeaf->getWorldBox(), ray, nullptr));

    PickTraverser traverser(world.universe());
    geometry::PickResult result;
    EXPECT_EQ(traverser.pick(ray, &result), farLeaf);
    EXPECT_NE(nearLeaf->mPickStamp, 0) << "the near leaf was asked";
    EXPECT_FLOAT_EQ(result.distance, 10.0f);
    EXPECT_FLOAT_EQ(result.point.z, -10.0f);

    // Without the far leaf, the miss stays a miss.
    world.root(0)->removeChild(farLeaf);
    world.update();
    EXPECT_EQ(traverser.pick(ray, &result), nullptr);
    EXPECT_EQ(result.distance, kInfinity);
}

TEST(PickTraverserTest, EqualDistancesKeepTheLeafAskedFirst) {
    World world;
    world.addLocale();
    // Coincident triangles, and a pair at equal depth side by side that one
    // ray meets on their shared edge.
    std::vector<Probe*> probes;
    for (int i = 0; i < 3; ++i) {
        probes.push_back(world.add(new Probe({facing(0.0f, 0.0f, -5.0f, 1.0f)})));
    }
    probes.push_back(world.add(new Probe({facing(20.0f, 0.0f, -5.0f, 1.0f)})));
    probes.push_back(world.add(new Probe({Triangle{Vec(19.0f, -1.0f, -5.0f), Vec(19.0f, 1.0f, -5.0f),
                                                   Vec(17.0f, 1.0f, -5.0f)}})));
    world.update();
    PickTraverser traverser(world.universe());

    const auto firstAsked = [&](std::initializer_list<int> indices) {
        Probe* first = nullptr;
        for (int index : indices) {
            Probe* probe = probes[static_cast<std::size_t>(index)];
            EXPECT_NE(probe->mPickStamp, 0);
            if (first == nullptr || probe->mPickStamp < first->mPickStamp) {
                first = probe;
            }
        }
        return first;
    };

    Node* hit = traverser.pick(geometry::Ray(Vec(-0.5f, -0.5f, 0.0f), Vec(0.0f, 0.0f, -1.0f)), nullptr);
    EXPECT_EQ(hit, firstAsked({0, 1, 2}));
    hit = traverser.pick(geometry::Ray(Vec(19.0f, 0.0f, 0.0f), Vec(0.0f, 0.0f, -1.0f)), nullptr);
    EXPECT_EQ(hit, firstAsked({3, 4}));
}

TEST(PickTraverserTest, LocaleOffsetsAreAppliedInDoubles) {
    World world;
    world.addLocale();
    // Far from the origin a float cannot hold the half unit: only the
    // double offset puts the ray through the narrow triangle.
    const math::Vector3<double> far(16777216.0, 0.0, 0.0);
    world.addLocale(far);
    Probe* home = world.add(new Probe({facing(0.0f, 0.0f, -50.0f, 1.0f)}), 0);
    Probe* away = world.add(new Probe({Triangle{Vec(0.25f, -1.0f, -20.0f), Vec(0.75f, -1.0f, -20.0f),
                                                Vec(0.5f, 1.0f, -20.0f)}}),
                            1);
    world.update();
    PickTraverser traverser(world.universe());
    geometry::PickResult result;

    // In world coordinates: the away leaf sits at x = 2^24 + 0.5.
    traverser.setOffset(math::Vector3<double>(-16777216.0, 0.0, 0.0));
    EXPECT_EQ(traverser.pick(geometry::Ray(Vec(0.5f, 0.0f, 0.0f), Vec(0.0f, 0.0f, -1.0f)), &result), away);
    EXPECT_FLOAT_EQ(result.distance, 20.0f);
    EXPECT_EQ(traverser.getLocale(), nullptr) << "a pass over every locale leaves none set";
    EXPECT_EQ(traverser.getLocaleOffset().x, 0.0) << "the last locale walked is the away one";

    // Hits compare across locales: from far behind, the home leaf is nearer
    // along a ray that meets both.
    traverser.setOffset(math::Vector3<double>());
    const geometry::Ray both(Vec(0.0f, 0.0f, 100.0f), Vec(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(traverser.pick(both, &result), home);
    EXPECT_FLOAT_EQ(result.distance, 150.0f);

    // A preset locale is the only one walked, and stays set.
    traverser.setLocale(world.locale(1));
    EXPECT_EQ(traverser.pick(both, nullptr), nullptr);
    traverser.setOffset(math::Vector3<double>(-16777216.0, 0.0, 0.0));
    EXPECT_EQ(traverser.pick(geometry::Ray(Vec(0.5f, 0.0f, 0.0f), Vec(0.0f, 0.0f, -1.0f)), nullptr), away);
    EXPECT_EQ(traverser.getLocale(), world.locale(1));
}

TEST(PickTraverserTest, MouseAtCentreAndTopLeftCorner) {
    World world;
    world.addLocale();
    auto viewer = object::Pointer<Viewer>::adopt(new Viewer());
    world.root(0)->addChild(viewer.get());
    // The viewer stands at (10, 0, 0) turned a quarter turn about y, so it
    // looks down -x.
    const float turn[16] = {0, 0, 1, 10, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1};
    viewer->setLocalTransform(math::Matrix4<float>(turn));
    viewer->markDirty();
    // Camera window 20 x 20 at distance 100: the centre ray runs (0, 0,
    // -100) in camera space, the top left one (-10, 10, -100); in locale
    // space they are (-100, 0, 0) and (-100, 10, 10) from the eye, reaching
    // x = -490 at t = 5.
    Probe* centre = world.add(new Probe({Triangle{Vec(-490.0f, -5.0f, -5.0f), Vec(-490.0f, 5.0f, -5.0f),
                                                  Vec(-490.0f, 0.0f, 5.0f)}}));
    Probe* corner = world.add(new Probe({Triangle{Vec(-490.0f, 45.0f, 45.0f), Vec(-490.0f, 55.0f, 45.0f),
                                                  Vec(-490.0f, 50.0f, 55.0f)}}));
    world.update();

    const float width = 640.0f;
    const float height = 480.0f;
    const auto mouse = [&](float mx, float my) {
        const float x = (mx - width / 2.0f) / (width / 2.0f);
        const float y = (my - height / 2.0f) / (height / 2.0f);
        geometry::PickResult result;
        PickTraverser traverser(world.universe());
        Node* node = traverser.pick(viewer->rayThrough(x, y), &result);
        return std::make_pair(node, result.distance);
    };
    const auto [atCentre, centreDistance] = mouse(320.0f, 240.0f);
    EXPECT_EQ(atCentre, centre);
    EXPECT_NEAR(centreDistance, 5.0f, 1e-4f) << "the ray reaches the window at t = 1, 100 units ahead";
    const auto [atCorner, cornerDistance] = mouse(0.0f, 0.0f);
    EXPECT_EQ(atCorner, corner);
    EXPECT_NEAR(cornerDistance, 5.0f, 1e-4f);
    EXPECT_EQ(mouse(639.0f, 479.0f).first, nullptr);
}

// A model of one square of edge 2 in the z = 0 plane, centred at the
// origin, with a collider.
object::Pointer<graphics3d::StaticModel> squareModel() {
    graphics3d::VertexFormat format;
    format.add(graphics3d::TypeWord::kFloat3, graphics3d::Context::kPositionArray);
    auto buffer = object::Pointer<graphics3d::VertexBuffer>::adopt(
        graphics3d::VertexBuffer::create(format, 6, graphics3d::VertexBuffer::kStatic));
    const float corners[18] = {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, -1, 0, 1, 1, 0, -1, 1, 0};
    buffer->lock(graphics3d::VertexBuffer::kReplace);
    std::memcpy(buffer->getData(), corners, sizeof corners);
    buffer->unlock();
    auto mesh = object::Pointer<graphics3d::VertexMesh>::adopt(new graphics3d::VertexMesh());
    mesh->setVertexBuffer(buffer.get(), 0);
    mesh->updateBounds();
    auto model = object::Pointer<graphics3d::StaticModel>::adopt(new graphics3d::StaticModel());
    model->addMesh(mesh.get());
    model->complete();
    model->createColliders(true);
    return model;
}

TEST(PickTraverserTest, ModelNodesAreHitThroughTheirModelsAndSingularOnesNever) {
    World world;
    world.addLocale();
    const auto model = squareModel();
    const auto place = [&](const math::Matrix4<float>& transform) {
        auto node = object::Pointer<ModelNode>::adopt(new ModelNode(model.get()));
        node->setLocalTransform(transform);
        node->markDirty();
        world.root(0)->addChild(node.get());
        return node;
    };
    // Scaled by 3 at depth -10, and at depth -20 as it is.
    float scaled[16] = {3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 3, -10, 0, 0, 0, 1};
    const auto nearNode = place(math::Matrix4<float>(scaled));
    float deeper[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, -20, 0, 0, 0, 1};
    const auto farNode = place(math::Matrix4<float>(deeper));
    world.update();

    PickTraverser traverser(world.universe());
    geometry::PickResult result;
    EXPECT_EQ(traverser.pick(geometry::Ray(Vec(0.5f, 0.5f, 0.0f), Vec(0.0f, 0.0f, -0.5f)), &result), nearNode.get());
    EXPECT_FLOAT_EQ(result.distance, 20.0f) << "a parameter of the given ray, not of the model-space one";
    EXPECT_NEAR(result.point.x, 0.5f, 1e-5f);
    EXPECT_NEAR(result.point.z, -10.0f, 1e-5f);
    EXPECT_EQ(result.model, model.get());
    EXPECT_EQ(result.mesh, model->getMeshes()[0].get());
    // Beyond both squares nothing is hit.
    EXPECT_EQ(traverser.pick(geometry::Ray(Vec(0.5f, 3.5f, 0.0f), Vec(0.0f, 0.0f, -1.0f)), nullptr), nullptr);

    // Flattened to a line, the near node has no inverse and is never hit;
    // the far one behind it is.
    float flat[16] = {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, -10, 0, 0, 0, 1};
    nearNode->setLocalTransform(math::Matrix4<float>(flat));
    nearNode->markDirty();
    world.update();
    EXPECT_EQ(traverser.pick(geometry::Ray(Vec(0.5f, 0.0f, 0.0f), Vec(0.0f, 0.0f, -1.0f)), &result), farNode.get());
    EXPECT_FLOAT_EQ(result.distance, 20.0f);
}

}  // namespace
}  // namespace nevrik::scene3d

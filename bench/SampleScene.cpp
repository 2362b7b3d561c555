#include "SampleScene.h"

#include "RenderingContext.h"
#include "nevrik/graphics3d/loading/TextureManager.h"
#include "nevrik/graphics3d/loading/Translator3DS.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/scene3d/ModelNode.h"
#include "nevrik/scene3d/PickTraverser.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace nevrik::bench {

using graphics3d::Model;
using math::Matrix4;
using math::Vector3;
using object::Pointer;

Pointer<Model> generatedModel(std::int64_t triangles) {
    char folder[] = "/tmp/nevrik-scene-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        return {};
    }
    const std::string command = std::string("'") + NEVRIK_MODELGEN + "' --triangles " +
                                std::to_string(triangles) + " --output " + folder + " > /dev/null";
    Pointer<Model> model;
    if (std::system(command.c_str()) == 0) {
        try {
            auto files = object::make<io::SystemFileFactory>(folder);
            auto reader = object::make<graphics3d::Translator3DS>();
            reader->setTextureManager(object::make<graphics3d::TextureManager>(files.get()).get());
            model = reader->read(files->open("f5e_05.3ds", io::File::kRead)->getInputStream(),
                                 graphics3d::Translator3DS::kWholeStream);
            if (model) {
                model->setCompiled(model->optimise());
                model->createColliders(true);
            }
        } catch (const object::Exception&) {
            model.reset();
        }
    }
    std::filesystem::remove_all(folder);
    return model;
}

Scene::Scene(float nearDistance, float farDistance, const Vector3<float>& eye)
    : mUniverse(object::make<scene3d::Universe>()),
      mRoot(object::make<scene3d::Root>()),
      mViewer(object::make<scene3d::Viewer>()) {
    mUniverse->addLocale()->addRoot(mRoot.get());
    mViewer->setNear(nearDistance);
    mViewer->setFar(farDistance);
    Matrix4<float> transform;
    transform.setColumn(3, eye);
    mViewer->setLocalTransform(transform);
    mRoot->addChild(mViewer.get());
}

void Scene::add(scene3d::Node* node) {
    mRoot->addChild(node);
    node->release();
}

std::unique_ptr<Scene> sampleScene(std::int64_t triangles, bool reference) {
    const Pointer<Model> model =
        renderingContext(kViewWidth, kViewHeight) != nullptr ? generatedModel(triangles) : nullptr;
    if (!model) {
        return nullptr;
    }
    if (reference) {
        for (const Pointer<graphics3d::Mesh>& mesh : model->getMeshes()) {
            mesh->createCollider();
        }
    }
    // Near 20 and far 4000.
    auto scene = std::make_unique<Scene>(20.0f, 4000.0f, Vector3<float>(0.0f, 0.0f, 400.0f));
    for (int i = -3; i <= 3; ++i) {
        for (int j = -2; j <= 2; ++j) {
            auto* node = new scene3d::ModelNode(model.get());
            Matrix4<float> place;
            place.setColumn(
                3, Vector3<float>(static_cast<float>(i) * 320.0f, static_cast<float>(j) * 600.0f, 0.0f));
            node->setLocalTransform(place);
            scene->add(node);
        }
    }
    scene->universe()->update();
    return scene;
}

std::vector<geometry::Ray> seededRays(const Scene& scene, bool hits) {
    std::mt19937 random(2026);
    std::uniform_real_distribution<float> across(-1.0f, 1.0f);
    std::vector<geometry::Ray> kept;
    for (int i = 0; i < 2000; ++i) {
        const geometry::Ray ray = scene.viewer()->rayThrough(across(random), across(random));
        if ((scene3d::PickTraverser(scene.universe()).pick(ray, nullptr) != nullptr) == hits) {
            kept.push_back(ray);
        }
    }
    return kept;
}

}  // namespace nevrik::bench

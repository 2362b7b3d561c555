#include "nevrik/graphics3d/core/DeferQueue.h"

#include "nevrik/graphics3d/core/Appearance.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/Mesh.h"
#include "nevrik/graphics3d/core/Texture.h"

namespace nevrik::graphics3d {
namespace {

// The appearance's object of a category, else the context's current one.
template <class T>
T* pick(T* own, T* current) noexcept {
    return own != nullptr ? own : current;
}

// Applies a state object through the context's cache, when there is one.
template <class T>
void applyIfSet(Context& context, T* state) {
    if (state != nullptr) {
        context.apply(*state);
    }
}

}  // namespace

DeferQueue::~DeferQueue() {
    clear();
}

bool DeferQueue::add(Mesh* mesh, const math::Matrix4<float>& modelView) {
    if (mesh == nullptr) {
        return false;
    }
    DeferedMesh* entry = mPool.create();
    entry->mesh = mesh;
    const Appearance* appearance = mesh->getAppearance();
    const Context& context = *mContext;
    entry->blendMode = pick(appearance ? appearance->getBlendMode() : nullptr, context.getCurrentBlendMode());
    entry->polygonMode =
        pick(appearance ? appearance->getPolygonMode() : nullptr, context.getCurrentPolygonMode());
    entry->stencilMode =
        pick(appearance ? appearance->getStencilMode() : nullptr, context.getCurrentStencilMode());
    entry->depthMode = pick(appearance ? appearance->getDepthMode() : nullptr, context.getCurrentDepthMode());
    entry->shader = pick(appearance ? appearance->getShader() : nullptr, context.getCurrentShader());
    entry->material = pick(appearance ? appearance->getMaterial() : nullptr, context.getCurrentMaterial());
    for (int unit = 0; unit < DeferedMesh::kTextureUnits; ++unit) {
        entry->textures[unit] =
            pick(appearance ? appearance->getTexture(unit) : nullptr, context.getBoundTexture(unit));
    }
    for (int i = 0; i < 16; ++i) {
        entry->modelView[i] = modelView[i];
    }
    entry->depth = modelView.transformPoint(mesh->getBounds().getCentre()).z;
    try {
        mEntries.add(Entry(entry, entry->depth));
    } catch (...) {
        mPool.destroy(entry);
        throw;
    }
    return true;
}

void DeferQueue::flush() {
    // Empties the queue however the drawing ends.
    struct Emptier {
        DeferQueue& queue;
        ~Emptier() { queue.clear(); }
    } emptier{*this};
    for (const Entry& entry : mEntries) {
        draw(*entry.first);
    }
}

void DeferQueue::draw(const DeferedMesh& entry) {
    Context& context = *mContext;
    if (entry.shader != nullptr && entry.shader != context.getCurrentShader()) {
        entry.shader->bind();
    }
    applyIfSet(context, entry.material);
    applyIfSet(context, entry.blendMode);
    applyIfSet(context, entry.stencilMode);
    applyIfSet(context, entry.depthMode);
    applyIfSet(context, entry.polygonMode);
    for (int unit = 0; unit < DeferedMesh::kTextureUnits; ++unit) {
        if (entry.textures[unit] != nullptr) {
            entry.textures[unit]->bindToUnit(unit);
        }
    }
    context.getMatrixStack().load(math::Matrix4<float>(entry.modelView));
    Mesh& mesh = *entry.mesh;
    // Detached for the draw: its states were sent above, from queue time.
    const object::Pointer<Appearance> appearance(mesh.getAppearance());
    if (appearance) {
        mesh.setAppearance(nullptr);
    }
    mesh.draw();
    if (appearance) {
        mesh.setAppearance(appearance.get());
    }
}

void DeferQueue::clear() noexcept {
    for (const Entry& entry : mEntries) {
        mPool.destroy(entry.first);
    }
    mEntries.clear();
}

}  // namespace nevrik::graphics3d

#pragma once

#include "nevrik/container/Cache.h"
#include "nevrik/graphics3d/core/Texture.h"
#include "nevrik/graphics3d/loading/TextureFactory.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

namespace nevrik::graphics3d {

/// Textures by file name, each loaded once through a TextureFactory.
///
/// Holds one reference on every texture it loaded and lets go of them when
/// it dies. Reference-counted or held by value, by a model reader for
/// instance. Not locked: used on the thread of the current context.
class TextureManager : public container::Cache<types::String, object::Pointer<Texture>, TextureFactory> {
public:
    /// Files relative to the current directory.
    TextureManager() = default;
    /// Files through `files` (null: the current directory).
    explicit TextureManager(io::FileFactory* files) : Cache(files) {}

    NEVRIK_CLASS_NAME(Cache, ":TextureManager")

    /// The texture loaded for `name`, loading it on the first request; the
    /// manager keeps the reference (callers that keep it add their own).
    /// Exceptions of the factory pass to the caller and nothing is kept, so a
    /// later request tries again.
    Texture* get(const types::String& name) { return Cache::get(name).get(); }
};

}  // namespace nevrik::graphics3d

#pragma once

#include "nevrik/gui3d/FontCache.h"
#include "nevrik/input/Point.h"
#include "nevrik/input/Rect.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::graphics3d {
class Context;
class MatrixStack;
}  // namespace nevrik::graphics3d

namespace nevrik::gui3d {

/// Draws two-dimensional user interface on a rendering context, after the
/// scene: an orthographic pixel projection with y downwards, quads gathered
/// into one glBegin/glEnd batch until the kind of quad changes, and text from
/// font maps.
///
/// Held by value by its Root; keeps a reference on the rendering context.
/// Used only on the thread where that context is current, between begin()
/// and end().
class Context : public object::Object, private object::Noncopyable {
public:
    /// What the open glBegin/glEnd batch draws.
    static constexpr std::uint32_t kNoBatch = 0;
    static constexpr std::uint32_t kQuadBatch = 5;
    static constexpr std::uint32_t kTextBatch = 6;

    explicit Context(graphics3d::Context* graphicsContext);
    ~Context() override;

    /// Takes over the rendering context for 2D drawing: forgets the state
    /// records the scene left (so that the scene applies its states again
    /// afterwards), reads the render target's size, pushes a pixel projection
    /// and the texture and model-view matrices, and sets up the fixed states
    /// for text: no culling, depth, lighting or texturing; scissor on; flat
    /// shading; alpha blending function.
    void begin();
    /// Closes the batch and gives the matrices and shading back.
    void end();
    /// Closes the open batch, if any, and disables what it enabled.
    void endBatch();
    /// Draws `text` with the current font map, `position` being the pen on
    /// the baseline; each byte is one code 0-255. Leaves the text batch open
    /// for more text. Draws nothing without a current font map. Returns false.
    bool drawText(const input::Point& position, const types::String& text);
    /// Fills `rect` with the colour (alpha included) as an untextured quad,
    /// in an untextured batch left open for more.
    void fillRect(const input::Rect& rect);

    NEVRIK_CLASS_NAME(object::Object, ":Context")

    graphics3d::Context* getGraphicsContext() const noexcept { return mGraphicsContext.get(); }
    graphics3d::MatrixStack* getMatrixStack() const noexcept { return mMatrixStack; }
    std::uint32_t getBatch() const noexcept { return mBatch; }
    /// The render target's size as begin() found it.
    std::int32_t getWidth() const noexcept { return mWidth; }
    std::int32_t getHeight() const noexcept { return mHeight; }
    FontCache& getFontCache() noexcept { return mFontCache; }
    FontMap* getCurrentFontMap() const noexcept { return mCurrentFontMap.get(); }
    /// The map drawText() uses; a text batch of another map is closed.
    void setCurrentFontMap(FontMap* fontMap);
    const float* getColour() const noexcept { return mColour; }
    /// Takes effect for quads and text batches opened afterwards.
    void setColour(float red, float green, float blue, float alpha) noexcept;

private:
    object::Pointer<graphics3d::Context> mGraphicsContext;
    graphics3d::MatrixStack* mMatrixStack;
    std::uint32_t mBatch = kNoBatch;
    std::int32_t mWidth = 0;
    std::int32_t mHeight = 0;
    FontCache mFontCache;
    object::Pointer<FontMap> mCurrentFontMap;
    float mColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

}  // namespace nevrik::gui3d

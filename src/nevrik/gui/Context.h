#pragma once

#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::platform {
class NativeWindow;
}

namespace nevrik::gui {

/// What a window or view paints with: its native window and that window's
/// drawing state, present while the native window exists.
///
/// Held by value by its window or view; used on the window's thread.
class Context : public object::Object {
public:
    Context() = default;

    NEVRIK_CLASS_NAME(object::Object, ":Context")

    void set(platform::NativeWindow* window, void* deviceContext) noexcept;
    void clear() noexcept { set(nullptr, nullptr); }

    platform::NativeWindow* getNativeWindow() const noexcept { return mWindow; }
    void* getDeviceContext() const noexcept { return mDeviceContext; }
    std::uint32_t getForeground() const noexcept { return mForeground; }
    std::uint32_t getBackground() const noexcept { return mBackground; }

private:
    platform::NativeWindow* mWindow = nullptr;
    void* mDeviceContext = nullptr;
    std::uint32_t mForeground = 0;
    std::uint32_t mBackground = 0;
};

}  // namespace nevrik::gui

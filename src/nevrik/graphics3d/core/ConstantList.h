#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"

namespace nevrik::graphics3d {

/// The constants a shader hands to the pipeline, in the order they were
/// added.
///
/// Held by value by its Shader; holds a reference on each constant. Used on
/// the thread of the current context.
class ConstantList : public object::Object {
public:
    ConstantList() noexcept = default;

    NEVRIK_CLASS_NAME(object::Object, ":ConstantList")

    /// Appends `constant`, taking a reference; false, adding nothing, for null.
    bool add(object::Object* constant);
    /// Drops every constant.
    void clear() noexcept { mConstants.clear(); }

    int getCount() const noexcept { return mConstants.getCount(); }
    /// Constant `index`, or null out of range.
    object::Object* getConstant(int index) const noexcept;

private:
    container::Array<object::Pointer<object::Object>> mConstants;
};

}  // namespace nevrik::graphics3d

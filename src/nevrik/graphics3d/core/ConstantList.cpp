#include "nevrik/graphics3d/core/ConstantList.h"

namespace nevrik::graphics3d {

bool ConstantList::add(object::Object* constant) {
    if (constant == nullptr) {
        return false;
    }
    mConstants.add(object::Pointer<object::Object>(constant));
    return true;
}

object::Object* ConstantList::getConstant(int index) const noexcept {
    return index >= 0 && index < mConstants.getCount() ? mConstants.getData()[index].get() : nullptr;
}

}  // namespace nevrik::graphics3d

#include "nevrik/scene3d/Root.h"

namespace nevrik::scene3d {

object::Pointer<Node> Root::clone() const {
    return object::make<Root>(*this);
}

}  // namespace nevrik::scene3d

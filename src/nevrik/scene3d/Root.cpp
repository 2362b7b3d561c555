#include "nevrik/scene3d/Root.h"

namespace nevrik::scene3d {

Node* Root::clone() const {
    return new Root(*this);
}

}  // namespace nevrik::scene3d

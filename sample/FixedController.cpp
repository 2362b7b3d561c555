#include "sample/FixedController.h"

namespace nevrik::sample {

void FixedController::update(float /*dt*/) {
    mCurrent = mFixed;
}

}  // namespace nevrik::sample

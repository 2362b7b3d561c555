#include "nevrik/graphics3d/core/RenderStream.h"

namespace nevrik::graphics3d {

RenderStream::~RenderStream() {
    mProgram.reset();
    mResources.clear();
}

bool RenderStream::draw() const {
    return mProgram && mProgram->run();
}

bool RenderStream::addResource(Resource* resource) {
    if (resource == nullptr) {
        return false;
    }
    mResources.add(object::Pointer<Resource>(resource));
    return true;
}

}  // namespace nevrik::graphics3d

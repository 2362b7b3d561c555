// Fits a box around a few points and makes a reference-counted object: enough to
// show that the headers are found and the libraries link.
#include "nevrik/geometry/BoundingBox.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"

#include <cstdio>

int main() {
    const float points[] = {-1.0f, 2.0f, 0.0f, 3.0f, -2.0f, 4.0f, 0.5f, 0.5f, -6.0f};
    nevrik::geometry::BoundingBox<float> box;
    box.fit(points, 3 * sizeof(float), 3);
    const auto centre = box.centre();
    auto object = nevrik::object::make<nevrik::object::Object>();
    if (centre.x != 1.0f || centre.y != 0.0f || centre.z != -1.0f || !object) {
        std::fprintf(stderr, "consumer: wrong centre %g %g %g\n", centre.x, centre.y, centre.z);
        return 1;
    }
    return 0;
}

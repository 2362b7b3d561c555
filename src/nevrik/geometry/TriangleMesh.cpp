#include "nevrik/geometry/TriangleMesh.h"

#include <limits>

namespace nevrik::geometry {

bool TriangleMesh<float, 3>::setTriangle(int index, unsigned int a, unsigned int b, unsigned int c) {
    if (index < 0 || index > (std::numeric_limits<int>::max() - 3) / 3) {
        return false;
    }
    const int first = 3 * index;
    if (mIndices.getCount() < first + 3) {
        mIndices.resize(first + 3);
    }
    unsigned int* entries = mIndices.getData() + first;
    entries[0] = a;
    entries[1] = b;
    entries[2] = c;
    return true;
}

bool TriangleMesh<float, 3>::setIndices(const std::uint8_t* bytes, int count) {
    if (count < 0 || (bytes == nullptr && count > 0)) {
        return false;
    }
    mIndices.resize(count);
    // Every byte, the one or two past the last whole triple included: left
    // alone they would keep whatever the indices held before.
    unsigned int* entries = mIndices.getData();
    for (int i = 0; i < count; ++i) {
        entries[i] = bytes[i];
    }
    return true;
}

}  // namespace nevrik::geometry

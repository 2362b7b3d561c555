#pragma once

#include "modelgen/Picture.h"

namespace nevrik::modelgen {

/// Paints the aircraft's two textures. The patterns come from fixed hashes, never from
/// a clock or an unseeded generator, so every run paints the same pixels.
///
/// Stateless.
class TexturePainter {
public:
    /// A tileable three-tone camouflage with panel lines and rivets, `size` square.
    static Picture camouflage(int size);
    /// A blue, white and red roundel with a dark rim on a grey panel, `size` square.
    static Picture insignia(int size);
};

}  // namespace nevrik::modelgen

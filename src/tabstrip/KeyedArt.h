// Skin art with a transparent colour, enlarged for a denser screen. A filter that blends
// neighbouring pixels would mix the transparent colour into the edges of every shape, and the
// blend is no longer transparent: the colours are therefore filtered from a copy whose
// transparent pixels took the colour of the art beside them, and which pixels stay transparent
// is decided by the nearest art pixel alone. Pixels are 32-bit BGRX rows, the top byte unused.
#pragma once

#include <cstdint>
#include <vector>

namespace xcyh2 {

// Every transparent pixel within two steps of the art takes the mean colour of its coloured
// side neighbours, one ring after the other; the art itself is unchanged.
void FillBesideArt(std::vector<std::uint32_t>& pixels, int width, int height, std::uint32_t transparent);

// Makes transparent every pixel of colours whose pixel in keys is transparent.
void TakeTransparency(std::vector<std::uint32_t>& colours, const std::vector<std::uint32_t>& keys,
                      std::uint32_t transparent);

}  // namespace xcyh2

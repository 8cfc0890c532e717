// A colour-keyed window shows each pixel or not; it has no half-transparent pixels. A keyed
// picture enlarged with a filter comes back with soft edges (partly transparent pixels): this
// gives each of them back a yes or no. Window-free.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xcyh2 {

// pixels: premultiplied 32-bit pixels as the system lays them out (0xAARRGGBB). A pixel at
// least half covered becomes its own colour, opaque; any other becomes exactly the key.
// key: a colour laid out as 0x00BBGGRR.
void SnapToColourKey(std::uint32_t* pixels, std::size_t count, std::uint32_t key);

}  // namespace xcyh2

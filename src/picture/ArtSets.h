// The skin pictures come in three sets, drawn by tools/draw-art at 100 %, 150 % and 200 %. The
// 100 % picture is the resource the code names (a bitmap, or a GIF of the login window); a
// larger set's picture of it is a PNG with the same id, in the resource type named after the
// 100 % picture's type and the set ("BITMAP150", "GIF200"). Layouts keep cutting pictures in
// 96-DPI pixels; ArtSetScale maps those into a set's picture edge by edge, as a window at that
// set's scale maps its own, so a window at exactly a set's scale copies the art pixel for pixel.
#pragma once

#include <windows.h>

#include "base/DpiScale.h"
#include "picture/GdiPlus.h"

namespace xcyh2 {

enum class ArtKind { kBitmap, kGif };

// The resource type of set's pictures of that kind; nullptr for the 100 % set, which is the
// named resource itself.
const wchar_t* ArtSetType(ArtKind kind, int set);

// The scale the pictures of a set are drawn at.
inline DpiScale ArtSetScale(int set) { return DpiScale(set * DpiScale::kBaseDpi / 100); }

// Set's picture of resource id, decoded over background (the colour its transparent pixels
// take), at its own size. nullptr when the program holds no such picture or it cannot be
// decoded: the caller draws from the 100 % picture instead.
HBITMAP LoadArtSetBitmap(int id, ArtKind kind, int set, COLORREF background);

// A skin bitmap as a window at a scale draws it: set's picture of bitmap resource id where the
// program has one, else the 100 % bitmap itself (set then says 100). size96 is the 100 % bitmap's
// size, the size layouts cut it in. No bitmap when the program has neither.
struct ArtBitmap {
    HBITMAP bitmap = nullptr;  // the caller's to delete
    SIZE size96{};
    int set = 100;
};
ArtBitmap LoadArtBitmap(int id, int set, COLORREF background);

// Set's picture of the GIF resource id where the program has one, else the GIF itself; empty
// when neither decodes. GDI+ must be started.
ResourceImage LoadGifArt(int id, int set);

}  // namespace xcyh2

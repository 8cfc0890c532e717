#include "controls/TitleBarLayout.h"

#include <algorithm>

#include "base/twips.h"

namespace xcyh2 {

namespace {
constexpr std::int32_t kTile = 300;
constexpr std::int32_t kPieceHeight = 545;
constexpr std::int32_t kBorder = 60;

std::int32_t TileCount(std::int32_t length) { return length / kTile + 1; }
}  // namespace

std::vector<SkinPiece> BarPieces(std::int32_t width) {
    std::vector<SkinPiece> pieces;
    for (std::int32_t i = 1; i <= TileCount(width); ++i)
        pieces.push_back({{kTile, 0, kTile, kPieceHeight}, {i * kTile, 0, kTile, kPieceHeight}});
    pieces.push_back({{0, 0, kPieceHeight, kPieceHeight}, {0, 0, kPieceHeight, kPieceHeight}});
    pieces.push_back({{kSkinWidthTwips - 1000, 0, 1000, kPieceHeight}, {width - 1000, 0, 1000, kPieceHeight}});
    return pieces;
}

std::vector<SkinPiece> FramePieces(std::int32_t w, std::int32_t h) {
    std::vector<SkinPiece> pieces;
    for (std::int32_t i = 1; i <= TileCount(w); ++i)
        pieces.push_back({{kTile, kSkinHeightTwips - kBorder, kTile, 500}, {i * kTile, h - kBorder, kTile, 500}});
    for (std::int32_t i = 1; i <= TileCount(h); ++i)
        pieces.push_back({{0, 800, kBorder, 500}, {0, i * kTile, kBorder, 500}});
    for (std::int32_t i = 1; i <= TileCount(h); ++i)
        pieces.push_back({{kSkinWidthTwips - kBorder, 800, kTile, 500}, {w - kBorder, i * kTile, kTile, 500}});
    pieces.push_back({{0, kSkinHeightTwips - kBorder, kPieceHeight, kBorder}, {0, h - kBorder, kPieceHeight, kBorder}});
    pieces.push_back({{kSkinWidthTwips - 500, kSkinHeightTwips - kBorder, 500, kBorder}, {w - 500, h - kBorder, 500, kBorder}});
    return pieces;
}

SkinPiece NominPiece(std::int32_t width) {
    return {{kSkinWidthTwips - 1200, 0, 400, kPieceHeight}, {width - 830, 0, 400, kPieceHeight}};
}

bool ToPixels(const SkinPiece& piece, std::int32_t skinWidth, std::int32_t skinHeight, PixelCopy& copy) {
    std::int32_t sx = TwipsToPixels(piece.source.x), sy = TwipsToPixels(piece.source.y);
    std::int32_t w = TwipsToPixels(piece.source.width), h = TwipsToPixels(piece.source.height);
    std::int32_t tx = TwipsToPixels(piece.target.x), ty = TwipsToPixels(piece.target.y);
    // What lies left of or above the picture is cut off along with the matching target part.
    if (sx < 0) { w += sx; tx -= sx; sx = 0; }
    if (sy < 0) { h += sy; ty -= sy; sy = 0; }
    w = std::min(w, skinWidth - sx);
    h = std::min(h, skinHeight - sy);
    if (w <= 0 || h <= 0) return false;
    copy = {sx, sy, tx, ty, w, h};
    return true;
}

}  // namespace xcyh2

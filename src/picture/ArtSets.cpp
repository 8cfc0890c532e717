#include "picture/ArtSets.h"

#include <cstdlib>

#include "picture/ImageBitmap.h"

namespace xcyh2 {

const wchar_t* ArtSetType(ArtKind kind, int set) {
    const bool bitmap = kind == ArtKind::kBitmap;
    switch (set) {
        case 150: return bitmap ? L"BITMAP150" : L"GIF150";
        case 200: return bitmap ? L"BITMAP200" : L"GIF200";
        default: return nullptr;
    }
}

HBITMAP LoadArtSetBitmap(int id, ArtKind kind, int set, COLORREF background) {
    const wchar_t* type = ArtSetType(kind, set);
    if (!type) return nullptr;
    GdiplusSession gdiplus;
    if (!gdiplus.Startup()) return nullptr;
    ResourceImage image = LoadPngFromRes(id, type);
    return image ? ImageToBitmap(image, background) : nullptr;
}

ArtBitmap LoadArtBitmap(int id, int set, COLORREF background) {
    ArtBitmap art;
    art.bitmap = static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info{};
    if (!art.bitmap || !::GetObjectW(art.bitmap, sizeof(info), &info)) return art;
    art.size96 = {info.bmWidth, std::abs(info.bmHeight)};
    if (HBITMAP drawn = LoadArtSetBitmap(id, ArtKind::kBitmap, set, background)) {
        ::DeleteObject(art.bitmap);
        art.bitmap = drawn;
        art.set = set;
    }
    return art;
}

ResourceImage LoadGifArt(int id, int set) {
    if (const wchar_t* type = ArtSetType(ArtKind::kGif, set))
        if (ResourceImage art = LoadPngFromRes(id, type)) return art;
    return LoadPngFromRes(id, L"GIF");
}

}  // namespace xcyh2

#include "controls/Picture.h"

#include "controls/ButtonFrames.h"
#include "forms/ScaledCopy.h"
#include "picture/ArtSets.h"

namespace xcyh2 {

std::shared_ptr<Picture> Picture::FromBitmap(HBITMAP bitmap, std::int32_t resourceId) {
    unique_hbitmap owned(bitmap);
    BITMAP info{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight == 0)
        return nullptr;
    std::shared_ptr<Picture> picture(new Picture);
    picture->bitmap_ = std::move(owned);
    picture->width_ = info.bmWidth;
    picture->height_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    picture->bitmapWidth_ = picture->width_;
    picture->bitmapHeight_ = picture->height_;
    picture->resourceId_ = resourceId;
    return picture;
}

std::shared_ptr<Picture> Picture::FromIcon(HICON icon) {
    unique_hicon owned(icon);
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return nullptr;
    // GetIconInfo hands out copies of the icon's bitmaps.
    unique_hbitmap mask(info.hbmMask), colour(info.hbmColor);
    BITMAP bm{};
    ::GetObjectW(info.hbmMask, sizeof(bm), &bm);
    std::shared_ptr<Picture> picture(new Picture);
    picture->icon_ = std::move(owned);
    picture->width_ = bm.bmWidth;
    // A monochrome icon keeps its AND and XOR masks one above the other.
    picture->height_ = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    picture->bitmapWidth_ = picture->width_;
    picture->bitmapHeight_ = picture->height_;
    return picture;
}

std::shared_ptr<Picture> Picture::LoadBitmapResource(std::int32_t id, HMODULE module) {
    if (!module) module = ::GetModuleHandleW(nullptr);
    auto* bitmap = static_cast<HBITMAP>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    return FromBitmap(bitmap, id);
}

std::shared_ptr<Picture> Picture::LoadArt(std::int32_t id, const DpiScale& scale) {
    const ArtBitmap art = LoadArtBitmap(id, scale.ArtSet(), RGB(0, 0, 0));
    std::shared_ptr<Picture> picture = FromBitmap(art.bitmap, id);
    if (!picture) return nullptr;
    picture->width_ = art.size96.cx;
    picture->height_ = art.size96.cy;
    picture->artSet_ = art.set;
    return picture;
}

EdgeRect Picture::Source(const EdgeRect& pixels96) const { return ArtSetScale(artSet_).Rect(pixels96); }

std::int32_t Picture::Width() const { return PixelsToHimetric(width_); }
std::int32_t Picture::Height() const { return PixelsToHimetric(height_); }

void Picture::Render(HDC target, int x, int y, int width, int height) const {
    if (icon_) {
        ::DrawIconEx(target, x, y, icon_.get(), width, height, 0, nullptr, DI_NORMAL);
        return;
    }
    unique_hdc source(::CreateCompatibleDC(target));
    if (!source) return;
    SelectedObject selected(source.get(), bitmap_.get());
    forms::CopyScaled(target, x, y, width, height, source.get(), 0, 0, bitmapWidth_, bitmapHeight_);
}

}  // namespace xcyh2

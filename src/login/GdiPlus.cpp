#include "login/GdiPlus.h"

#include <gdiplus.h>

#include <cstring>
#include <utility>

#include "startup/ResourceBytes.h"

namespace xcyh2 {

namespace flat = Gdiplus::DllExports;

bool GdiplusSession::Startup() {
    if (token_) return true;
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, background thread on
    return Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
}

void GdiplusSession::Shutdown() {
    if (token_) Gdiplus::GdiplusShutdown(std::exchange(token_, 0));
}

ResourceImage::ResourceImage(ResourceImage&& other) noexcept
    : image_(std::exchange(other.image_, nullptr)),
      stream_(std::exchange(other.stream_, nullptr)),
      block_(std::exchange(other.block_, nullptr)) {}

ResourceImage& ResourceImage::operator=(ResourceImage&& other) noexcept {
    if (this != &other) {
        Reset();
        image_ = std::exchange(other.image_, nullptr);
        stream_ = std::exchange(other.stream_, nullptr);
        block_ = std::exchange(other.block_, nullptr);
    }
    return *this;
}

void ResourceImage::Reset() {
    if (image_) flat::GdipDisposeImage(static_cast<Gdiplus::GpImage*>(std::exchange(image_, nullptr)));
    if (stream_) std::exchange(stream_, nullptr)->Release();
    if (block_) ::GlobalFree(std::exchange(block_, nullptr));
}

UINT ResourceImage::Width() const {
    UINT w = 0;
    if (image_) flat::GdipGetImageWidth(static_cast<Gdiplus::GpImage*>(image_), &w);
    return w;
}

UINT ResourceImage::Height() const {
    UINT h = 0;
    if (image_) flat::GdipGetImageHeight(static_cast<Gdiplus::GpImage*>(image_), &h);
    return h;
}

ResourceImage LoadPngFromRes(int resourceId, const std::wstring& resourceType) {
    ResourceImage result;
    std::string_view bytes = ResourceBytes(resourceId, resourceType);
    if (bytes.data() == nullptr || bytes.empty()) return result;

    result.block_ = ::GlobalAlloc(GMEM_FIXED, bytes.size());
    if (!result.block_) return result;
    std::memcpy(::GlobalLock(result.block_), bytes.data(), bytes.size());
    ::GlobalUnlock(result.block_);

    // The stream does not free the block: ResourceImage does, after the image is gone.
    if (FAILED(::CreateStreamOnHGlobal(result.block_, FALSE, &result.stream_))) {
        result.Reset();
        return result;
    }
    Gdiplus::GpImage* image = nullptr;
    if (flat::GdipLoadImageFromStream(result.stream_, &image) != Gdiplus::Ok || !image) {
        result.Reset();
        return result;
    }
    result.image_ = image;
    return result;
}

}  // namespace xcyh2

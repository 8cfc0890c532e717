#include "picture/GdiPlus.h"

#include <gdiplus.h>

#include <cstring>
#include <utility>

#include "base/LazyLibrary.h"
#include "base/ResourceBytes.h"

namespace xcyh2 {

namespace {

namespace flat = Gdiplus::DllExports;

// GDI+ loads on the first call into it, on the thread that decodes the first picture.
struct GdiplusDll {
    LazyLibrary dll{L"gdiplus.dll"};
    LazyProc<decltype(&Gdiplus::GdiplusStartup)> GdiplusStartup{dll, "GdiplusStartup"};
    LazyProc<decltype(&Gdiplus::GdiplusShutdown)> GdiplusShutdown{dll, "GdiplusShutdown"};
    LazyProc<decltype(&flat::GdipLoadImageFromStream)> GdipLoadImageFromStream{dll, "GdipLoadImageFromStream"};
    LazyProc<decltype(&flat::GdipDisposeImage)> GdipDisposeImage{dll, "GdipDisposeImage"};
    LazyProc<decltype(&flat::GdipGetImageWidth)> GdipGetImageWidth{dll, "GdipGetImageWidth"};
    LazyProc<decltype(&flat::GdipGetImageHeight)> GdipGetImageHeight{dll, "GdipGetImageHeight"};
    LazyProc<decltype(&flat::GdipCreateFromHDC)> GdipCreateFromHDC{dll, "GdipCreateFromHDC"};
    LazyProc<decltype(&flat::GdipDrawImageRectI)> GdipDrawImageRectI{dll, "GdipDrawImageRectI"};
    LazyProc<decltype(&flat::GdipDrawImageRectRectI)> GdipDrawImageRectRectI{dll, "GdipDrawImageRectRectI"};
    LazyProc<decltype(&flat::GdipSetInterpolationMode)> GdipSetInterpolationMode{dll, "GdipSetInterpolationMode"};
    LazyProc<decltype(&flat::GdipSetPixelOffsetMode)> GdipSetPixelOffsetMode{dll, "GdipSetPixelOffsetMode"};
    LazyProc<decltype(&flat::GdipCreateImageAttributes)> GdipCreateImageAttributes{dll, "GdipCreateImageAttributes"};
    LazyProc<decltype(&flat::GdipSetImageAttributesWrapMode)> GdipSetImageAttributesWrapMode{
        dll, "GdipSetImageAttributesWrapMode"};
    LazyProc<decltype(&flat::GdipSetImageAttributesColorKeys)> GdipSetImageAttributesColorKeys{
        dll, "GdipSetImageAttributesColorKeys"};
    LazyProc<decltype(&flat::GdipDisposeImageAttributes)> GdipDisposeImageAttributes{dll,
                                                                                     "GdipDisposeImageAttributes"};
    LazyProc<decltype(&flat::GdipFlush)> GdipFlush{dll, "GdipFlush"};
    LazyProc<decltype(&flat::GdipDeleteGraphics)> GdipDeleteGraphics{dll, "GdipDeleteGraphics"};
};

GdiplusDll& gdiplus() {
    static GdiplusDll table;
    return table;
}

constexpr Gdiplus::Status kMissing = Gdiplus::GdiplusNotInitialized;

}  // namespace

bool GdiplusSession::Startup() {
    if (token_) return true;
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, background thread on
    return gdiplus().GdiplusStartup.call_or(kMissing, &token_, &input, nullptr) == Gdiplus::Ok;
}

void GdiplusSession::Shutdown() {
    if (token_) gdiplus().GdiplusShutdown.call(std::exchange(token_, 0));
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
    if (image_) {
        gdiplus().GdipDisposeImage.call_or(kMissing, static_cast<Gdiplus::GpImage*>(std::exchange(image_, nullptr)));
    }
    if (stream_) std::exchange(stream_, nullptr)->Release();
    if (block_) ::GlobalFree(std::exchange(block_, nullptr));
}

UINT ResourceImage::Width() const {
    UINT w = 0;
    if (image_) gdiplus().GdipGetImageWidth.call_or(kMissing, static_cast<Gdiplus::GpImage*>(image_), &w);
    return w;
}

UINT ResourceImage::Height() const {
    UINT h = 0;
    if (image_) gdiplus().GdipGetImageHeight.call_or(kMissing, static_cast<Gdiplus::GpImage*>(image_), &h);
    return h;
}

bool ResourceImage::Draw(HDC dc, int width, int height, std::optional<COLORREF> keyColour) const {
    if (!image_) return false;
    GdiplusDll& gdip = gdiplus();
    auto* image = static_cast<Gdiplus::GpImage*>(image_);
    Gdiplus::GpGraphics* graphics = nullptr;
    if (gdip.GdipCreateFromHDC.call_or(kMissing, dc, &graphics) != Gdiplus::Ok) return false;
    const int ownWidth = static_cast<int>(Width()), ownHeight = static_cast<int>(Height());
    bool drawn = false;
    if (width == ownWidth && height == ownHeight && !keyColour) {
        drawn = gdip.GdipDrawImageRectI.call_or(kMissing, graphics, image, 0, 0, width, height) == Gdiplus::Ok;
    } else {
        if (width != ownWidth || height != ownHeight) {
            gdip.GdipSetInterpolationMode.call_or(kMissing, graphics, Gdiplus::InterpolationModeHighQualityBicubic);
            // Pixel centres, not corners, map onto each other: the picture is not shifted.
            gdip.GdipSetPixelOffsetMode.call_or(kMissing, graphics, Gdiplus::PixelOffsetModeHighQuality);
        }
        Gdiplus::GpImageAttributes* attributes = nullptr;
        gdip.GdipCreateImageAttributes.call_or(kMissing, &attributes);
        if (attributes) {
            // Past its border the filter reads the picture mirrored, not transparent black: the
            // outermost pixels stay as solid (or as translucent) as they are.
            gdip.GdipSetImageAttributesWrapMode.call_or(kMissing, attributes, Gdiplus::WrapModeTileFlipXY, 0, FALSE);
            if (keyColour) {
                const Gdiplus::ARGB key = 0xFF000000u | (GetRValue(*keyColour) << 16) | (GetGValue(*keyColour) << 8) |
                                          GetBValue(*keyColour);
                gdip.GdipSetImageAttributesColorKeys.call_or(kMissing, attributes, Gdiplus::ColorAdjustTypeDefault,
                                                             TRUE, key, key);
            }
        }
        drawn = gdip.GdipDrawImageRectRectI.call_or(kMissing, graphics, image, 0, 0, width, height, 0, 0, ownWidth,
                                                    ownHeight, Gdiplus::UnitPixel, attributes, nullptr,
                                                    nullptr) == Gdiplus::Ok;
        if (attributes) gdip.GdipDisposeImageAttributes.call_or(kMissing, attributes);
    }
    gdip.GdipFlush.call_or(kMissing, graphics, Gdiplus::FlushIntentionSync);
    gdip.GdipDeleteGraphics.call_or(kMissing, graphics);
    return drawn;
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
    if (gdiplus().GdipLoadImageFromStream.call_or(kMissing, result.stream_, &image) != Gdiplus::Ok || !image) {
        result.Reset();
        return result;
    }
    result.image_ = image;
    return result;
}

}  // namespace xcyh2
